#include "CliSession.h"
#include "Command.h"

#include "model/FileStatistics.h"
#include "model/esfile.h"

#include <cstdio>
#include <filesystem>

namespace vellum::cli {
namespace {

std::string Grouped(long long n) { return FileStatistics::Grouped(n); }

// The window's texts without their leading blank.
const char* TypeText(int type) { return FileStatistics::FileTypeText(type) + 1; }

int Stats(const Arguments& args) {
    if (args.files.size() != 1) {
        std::fputs("vellum-cli stats: give one file\n", stderr);
        return 2;
    }
    CliSession session(args);
    esfile file(session.Codec());
    const std::string& path = args.files[0];
    if (file.LoadFile(path, true, true, nullptr) != esfile::kLoaded) return 1;
    std::printf("File: %s\n", std::filesystem::path(path).filename().c_str());
    std::printf("Size: %s bytes\n", Grouped(file.FileSize()).c_str());
    std::printf("Type: %s\n", TypeText(file.FileType()));
    std::printf("Records: %s\n", Grouped(file.LastIndex()).c_str());
    std::printf("Records per type:\n");
    for (const auto& c : file.esRecArrayCatIndex())
        std::printf("  %s %s\n", c.key.c_str(), Grouped(static_cast<long long>(c.value.esRecArrayCatEntries.Count())).c_str());
    std::printf("Dependencies:\n");
    for (const auto& m : file.esMasterFiles()) std::printf("  %s\n", m.value.Name.c_str());
    return 0;
}

const CommandRegistration registration({
    "stats",
    "show a file's size, type, record count, records per type and master files",
    "usage: vellum-cli stats [--template FILE] FILE\n"
    "\n"
    "Loads FILE and prints the figures of the editor's statistics window:\n"
    "  File: <name>\n"
    "  Size: <bytes, grouped by thousands> bytes\n"
    "  Type: Master file | Plugin file | Saved game file | Indeterminate (no header information)\n"
    "  Records: <records after the header>\n"
    "  Records per type:   one line \"  <type> <count>\" per record type, in category order\n"
    "  Dependencies:       one line \"  <name>\" per master file\n"
    "\n"
    "Options:\n"
    "  --template FILE  the format template (default: the user's ESTemplate.ini)\n"
    "  --help           this text\n",
    {},
    Stats,
});

} // namespace
} // namespace vellum::cli
