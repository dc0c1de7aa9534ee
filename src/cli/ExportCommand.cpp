#include "CliSession.h"
#include "Command.h"
#include "StdoutWriter.h"

#include "convert/JsonExport.h"
#include "model/CodePage.h"
#include "model/Text.h"

#include <cstdio>

namespace vellum::cli {
namespace {

int Export(const Arguments& args) {
    const std::string out = args.Value("--out");
    if (args.files.size() != 1 || out.empty()) {
        std::fputs("vellum-cli export: give one data file and --out FILE.json\n", stderr);
        return 2;
    }
    CliSession session(args);
    const int codePage = ValInt(args.Value("--encoding", std::to_string(session.Program().Settings().Encoding)));
    if (!IsSupportedCodePage(codePage)) {
        std::fputs("vellum-cli export: --encoding takes 1250, 1251 or 1252\n", stderr);
        return 2;
    }
    StdoutWriter stdoutWriter;
    return JsonExport(session.Codec(), codePage).Run(args.files[0], out, nullptr, out == "-" ? &stdoutWriter : nullptr)
               ? 0
               : 1;
}

const CommandRegistration registration({
    "export",
    "write a data file as JSON text that import turns back into the same bytes",
    "usage: vellum-cli export [--encoding 1250|1251|1252] [--template FILE] [--home DIR]\n"
    "                         FILE --out FILE.json\n"
    "\n"
    "Writes FILE as one JSON document: its records in file order, each with its type, flags and\n"
    "subrecords, each subrecord with its properties named by the format template (texts in UTF-8,\n"
    "values and flags by the template's names for them) and hexadecimal bytes for whatever the\n"
    "template does not decode. 'vellum-cli import' gives back the same file byte for byte. See\n"
    "docs/text-form.md, also for git's textconv.\n"
    "\n"
    "Options:\n"
    "  --out FILE.json  the JSON file to write (replaced only once it is complete);\n"
    "                   - writes to standard output, as git's textconv wants\n"
    "  --encoding N     the code page of the file's texts (default: [View] Encoding of Vellum.ini)\n"
    "  --template FILE  the format template (default: ESTemplate.ini of the program folder)\n"
    "  --home DIR       the program folder (default: as the editor finds it)\n"
    "  --help           this text\n",
    {},
    Export,
    {"--out", "--encoding"},
});

} // namespace
} // namespace vellum::cli
