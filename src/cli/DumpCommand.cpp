#include "CliSession.h"
#include "Command.h"

#include "model/TextDump.h"
#include "model/esfile.h"

#include <cstdio>
#include <filesystem>

namespace vellum::cli {
namespace {

int Dump(const Arguments& args) {
    if (args.files.size() != 1) {
        std::fputs("vellum-cli dump: give one file\n", stderr);
        return 2;
    }
    const std::string mode = args.Value("--mode", "0");
    if (mode != "0" && mode != "1" && mode != "2") {
        std::fprintf(stderr, "vellum-cli dump: --mode takes 0, 1 or 2, not '%s'\n", mode.c_str());
        return 2;
    }
    CliSession session(args);
    esfile file(session.Codec());
    const std::string& path = args.files[0];
    if (file.LoadFile(path, true, true, nullptr) != esfile::kLoaded) return 1;
    file.FileTitle = std::filesystem::path(path).filename().string();

    DumpOptions o;
    o.Mode = mode[0] - '0';
    o.TabDelimited = args.Has("--tabs");
    o.Headers = args.Has("--headers");
    o.ByteValues = args.Has("--bytes");
    o.Trim = args.Has("--trim");
    const std::string written = DumpAsText(file, o, session.Program().DumpsFolder());
    if (written.empty()) return 1;
    std::printf("%s\n", written.c_str());
    return 0;
}

const CommandRegistration registration({
    "dump",
    "write a file as text into the Dumps folder",
    "usage: vellum-cli dump [--mode 0|1|2] [--tabs] [--headers] [--bytes] [--trim]\n"
    "                       [--template FILE] [--home DIR] FILE\n"
    "\n"
    "Writes FILE as text into <Dumps>/<file name>.txt, as the editor's dump dialog does, and\n"
    "prints the path written. 'vellum-cli --help' names the Dumps folder.\n"
    "\n"
    "Options:\n"
    "  --mode 0         record types with raw record data (default)\n"
    "  --mode 1         record types, subrecord types and raw subrecord data\n"
    "  --mode 2         record types, subrecord types and decoded properties\n"
    "  --tabs           tab-delimited table instead of indented blocks\n"
    "  --headers        sizes, header and flags in record and subrecord lines\n"
    "  --bytes          raw data as three-digit byte values\n"
    "  --trim           at most 255 values per record, 253 per subrecord\n"
    "  --template FILE  the format template (default: the user's ESTemplate.ini)\n"
    "  --home DIR       one folder for the template, settings, Indices and Dumps\n"
    "  --help           this text\n",
    {"--tabs", "--headers", "--bytes", "--trim"},
    Dump,
    {"--mode"},
});

} // namespace
} // namespace vellum::cli
