#include "CliSession.h"
#include "Command.h"

#include "model/esfile.h"
#include "template/Search.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace vellum::cli {
namespace {

int Find(const Arguments& args) {
    // The text comes last; a last word that is no file is the text.
    std::vector<std::string> files = args.files;
    std::string text;
    std::error_code ec;
    if (files.size() >= 2 && !std::filesystem::is_regular_file(files.back(), ec)) {
        text = files.back();
        files.pop_back();
    }
    const std::string type = args.Value("--type"), sub = args.Value("--sub");
    if (files.empty()) {
        std::fputs("vellum-cli find: give at least one file\n", stderr);
        return 2;
    }
    if (!SearchCriteria::CanFind(text, type, sub)) {
        std::fputs("vellum-cli find: give a text, --type or --sub\n", stderr);
        return 2;
    }
    CliSession session(args);
    std::vector<std::unique_ptr<esfile>> loaded;
    std::vector<esfile*> scope;
    for (const std::string& path : files) {
        auto file = std::make_unique<esfile>(session.Codec());
        if (file->LoadFile(path, true, true, nullptr) != esfile::kLoaded) return 1;
        file->FileTitle = std::filesystem::path(path).filename().string();
        scope.push_back(file.get());
        loaded.push_back(std::move(file));
    }
    Search search(scope, SearchCriteria::FromInput(text, type, sub, args.Has("--case"), args.Has("--whole"), true));
    std::string out;
    for (const SearchHit& hit : search.FindAll()) {
        out += hit.Row();
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const CommandRegistration registration({
    "find",
    "list every record, subrecord or property that a search finds",
    "usage: vellum-cli find [--type T] [--sub S] [--case] [--whole]\n"
    "                       [--template FILE] [--home DIR] FILE... [TEXT]\n"
    "\n"
    "Searches the files as the editor's \"Find All Instances\" does and prints one line per\n"
    "hit, tab-separated: file, record key, subrecord key, property, record type, ID, value.\n"
    "With TEXT, the properties of subrecords that hold text are compared with it; without,\n"
    "every record of --type (or every subrecord of --sub) is listed. The last word is taken\n"
    "as TEXT when it names no file.\n"
    "\n"
    "Options:\n"
    "  --type T         only records of type T\n"
    "  --sub S          only subrecords of type S\n"
    "  --case           match letter case\n"
    "  --whole          the whole value must equal TEXT\n"
    "  --template FILE  the format template (default: the user's ESTemplate.ini)\n"
    "  --home DIR       one folder for the template, settings, Indices and Dumps\n"
    "  --help           this text\n",
    {"--case", "--whole"},
    Find,
    {"--type", "--sub"},
});

} // namespace
} // namespace vellum::cli
