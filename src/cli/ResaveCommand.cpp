#include "CliSession.h"
#include "Command.h"

#include "model/esfile.h"

#include <cstdio>
#include <filesystem>

namespace vellum::cli {
namespace {

int Resave(const Arguments& args) {
    if (args.files.size() != 2) {
        std::fputs("vellum-cli resave: give the file to read and the file to write\n", stderr);
        return 2;
    }
    CliSession session(args);
    esfile file(session.Codec());
    if (file.LoadFile(args.files[0], true, true, nullptr) != esfile::kLoaded) return 1;
    const std::string title = std::filesystem::path(args.files[1]).filename().string();
    file.SortOnSave = args.Has("--sort");
    return file.Save(args.files[1], title, args.Has("--backup"), nullptr) ? 0 : 1;
}

const CommandRegistration registration({
    "resave",
    "load a file and save it again, as the editor's Save does",
    "usage: vellum-cli resave [--template FILE] [--backup] [--sort] IN OUT\n"
    "\n"
    "Loads IN with warnings on (messages go to standard error) and saves it to OUT: the records\n"
    "in the order IN has them, the header's record count brought up to date, so that an\n"
    "unchanged file comes back byte for byte. OUT is written to a temporary file first and\n"
    "replaces the old OUT only when complete; a symbolic link OUT is saved through.\n"
    "Exit status 0 when OUT was written, else 1.\n"
    "\n"
    "Options:\n"
    "  --template FILE  the format template (default: the user's ESTemplate.ini)\n"
    "  --backup         keep the old OUT as OUT.bak\n"
    "  --sort           write the records by type, in the template's [@FILESEQUENCE] order,\n"
    "                   each dialogue topic followed by its responses\n"
    "  --help           this text\n",
    {"--backup", "--sort"},
    Resave,
});

} // namespace
} // namespace vellum::cli
