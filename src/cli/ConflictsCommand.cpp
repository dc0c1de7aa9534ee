#include "CliSession.h"
#include "Command.h"

#include "model/esfile.h"
#include "tools/Conflicts.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace vellum::cli {
namespace {

int ListConflicts(const Arguments& args) {
    if (args.files.size() < 2) {
        std::fputs("vellum-cli conflicts: give two or more data files, in load order\n", stderr);
        return 2;
    }
    CliSession session(args);
    std::vector<std::unique_ptr<esfile>> owned;
    std::vector<esfile*> files;
    std::vector<std::string> names;
    for (const std::string& path : args.files) {
        owned.push_back(std::make_unique<esfile>(session.Codec()));
        if (owned.back()->LoadFile(path, true, false, nullptr) != esfile::kLoaded) {
            std::fprintf(stderr, "vellum-cli conflicts: %s is no data file that can be read\n", path.c_str());
            return 1;
        }
        files.push_back(owned.back().get());
        names.push_back(std::filesystem::path(path).filename().string());
    }
    const std::vector<Conflicts::Entry> entries = Conflicts::Find(files);
    std::string out;
    for (const auto& e : entries) out += Conflicts::Line(e, names) + "\n";
    out += Conflicts::Summary(entries) + "\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

const CommandRegistration registration({
    "conflicts",
    "list the records that several files define, who wins and whether the versions differ",
    "usage: vellum-cli conflicts [--template FILE] [--home DIR] FILE FILE...\n"
    "\n"
    "Loads the files, given in load order (masters first, the file loaded last wins), and prints\n"
    "one line per record that more than one of them defines:\n"
    "  <TYPE> <ID>: <file>, <file>, ... winner <file> identical|differs <SUBRECORD>[, ...]\n"
    "then \"records in more than one file: N, differing: M\". Records are matched by type and ID\n"
    "without regard to letter case, exterior cells and landscapes by their grid, responses within\n"
    "their topic. \"differs\" names \"flags\" when the record flags differ and each subrecord that\n"
    "is not the same in every version.\n"
    "\n"
    "Options:\n"
    "  --template FILE  the format template (default: ESTemplate.ini of the program folder)\n"
    "  --home DIR       the program folder (default: as the editor finds it)\n"
    "  --help           this text\n",
    {},
    ListConflicts,
});

} // namespace
} // namespace vellum::cli
