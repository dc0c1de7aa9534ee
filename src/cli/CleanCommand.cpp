#include "CliSession.h"
#include "Command.h"

#include "model/esfile.h"
#include "tools/Cleaner.h"
#include "tools/DirtySettings.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace vellum::cli {
namespace {

int Clean(const Arguments& args) {
    const std::vector<std::string> masterPaths = args.Values("--with");
    const std::string out = args.Value("--out");
    if (args.files.size() != 1 || out.empty()) {
        std::fputs("vellum-cli clean: give one plug-in, its masters after --with and --out FILE\n", stderr);
        return 2;
    }
    CliSession session(args);
    std::vector<std::unique_ptr<esfile>> owned;
    std::vector<esfile*> masters;
    auto load = [&](const std::string& path) -> esfile* {
        owned.push_back(std::make_unique<esfile>(session.Codec()));
        if (owned.back()->LoadFile(path, true, false, nullptr) != esfile::kLoaded) {
            std::fprintf(stderr, "vellum-cli clean: %s is no data file that can be read\n", path.c_str());
            return nullptr;
        }
        owned.back()->FileTitle = std::filesystem::path(path).filename().string();
        return owned.back().get();
    };
    for (const std::string& path : masterPaths) {
        masters.push_back(load(path));
        if (!masters.back()) return 1;
    }
    esfile* plugin = load(args.files[0]);
    if (!plugin) return 1;

    DirtySettings dirty;
    dirty.Load(session.Program().Folders().Shipped() / DirtySettings::kFileName);
    const std::vector<Cleaner::Item> items = Cleaner::Find(*plugin, masters, dirty);
    std::string text;
    for (const Cleaner::Item& item : items) text += item.Line() + "\n";
    const int records = plugin->LastIndex();
    const int removed = Cleaner::Apply(*plugin, items);
    text += Cleaner::Summary(removed, records) + "\n";
    std::fputs(text.c_str(), stdout);
    return plugin->Save(out, std::filesystem::path(out).filename().string(), false, nullptr) ? 0 : 1;
}

const CommandRegistration registration({
    "clean",
    "remove from a plug-in what it holds by accident: copies of its masters' records, dirty settings",
    "usage: vellum-cli clean [--template FILE] [--home DIR] FILE --with MASTER... --out OUT\n"
    "\n"
    "Removes from the plug-in FILE the records identical to a master's version (same type, ID,\n"
    "flags and data; the last master given wins where several define a record), and the game\n"
    "settings that the game's editor adds to plug-ins by accident, judged by ID and value\n"
    "(DirtyGameSettings.txt among the program's data). Cells are compared reference by reference: a\n"
    "cell keeps its new and changed references and goes when nothing of its own is left. A topic\n"
    "stays while the plug-in has responses under it; a record another record of the plug-in\n"
    "refers to stays. Prints one line per record removed, \"<TYPE> <ID>: identical to <master>\"\n"
    "or \"<TYPE> <ID>: dirty game setting\" (a cell that stays: \"<n> references identical to\n"
    "<master>\"), then \"removed N of M records\", and writes the result to OUT. FILE itself is\n"
    "not changed.\n"
    "\n"
    "Options:\n"
    "  --with MASTER... the masters, in load order\n"
    "  --out OUT        the cleaned plug-in to write\n"
    "  --template FILE  the format template (default: ESTemplate.ini of the program folder)\n"
    "  --home DIR       the program folder (default: as the editor finds it)\n"
    "  --help           this text\n",
    {},
    Clean,
    {"--out"},
    {"--with"},
});

} // namespace
} // namespace vellum::cli
