#include "CliSession.h"
#include "Command.h"

#include "convert/JsonImport.h"

#include <cstdio>

namespace vellum::cli {
namespace {

int Import(const Arguments& args) {
    const std::string out = args.Value("--out");
    if (args.files.size() != 1 || out.empty()) {
        std::fputs("vellum-cli import: give one JSON file and --out FILE\n", stderr);
        return 2;
    }
    CliSession session(args);
    return JsonImport(session.Codec(), session.Program().Settings().Encoding).Run(args.files[0], out) ? 0 : 1;
}

const CommandRegistration registration({
    "import",
    "write a data file from the JSON text that export writes",
    "usage: vellum-cli import [--template FILE] [--home DIR] FILE.json --out FILE\n"
    "\n"
    "Writes the data file that FILE.json describes, records in the document's order. An export\n"
    "imported unchanged gives the original bytes; after records were added or removed by hand,\n"
    "the header's record count is brought up to date. Named values and flags are taken in any\n"
    "letter case, or as numbers. Errors name the line of the JSON, and nothing is written then.\n"
    "\n"
    "Options:\n"
    "  --out FILE       the data file to write (replaced only once it is complete)\n"
    "  --template FILE  the format template (default: ESTemplate.ini of the program folder)\n"
    "  --home DIR       the program folder (default: as the editor finds it)\n"
    "  --help           this text\n",
    {},
    Import,
    {"--out"},
});

} // namespace
} // namespace vellum::cli
