#include "index/IndexManager.h"

#include "index/IdxFile.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/Text.h"

#include <algorithm>
#include <system_error>

namespace vellum::index_manager {

namespace fs = std::filesystem;

std::vector<Row> ListDataFiles(const fs::path& dataFolder, const fs::path& indicesDir) {
    std::vector<fs::path> masters, plugins;
    std::error_code ec;
    for (fs::directory_iterator it(dataFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ".esm")) masters.push_back(it->path());
        else if (EndsWithNoCase(name, ".esp") && !EndsWithNoCase(it->path().stem().string(), "ESM"))
            plugins.push_back(it->path());
    }
    auto byName = [](const fs::path& a, const fs::path& b) { return FoldKey(a.filename().string()) < FoldKey(b.filename().string()); };
    std::sort(masters.begin(), masters.end(), byName);
    std::sort(plugins.begin(), plugins.end(), byName);
    std::vector<Row> rows;
    for (const auto* list : {&masters, &plugins})
        for (const fs::path& p : *list) {
            const bool indexed = IdxFileExists(indicesDir, p.filename().string());
            rows.push_back({p, indexed, indexed ? "Indexed" : "", indexed ? "Re-index File" : "Index File"});
        }
    return rows;
}

std::vector<fs::path> Select(const std::vector<Row>& rows, Selection which) {
    std::vector<fs::path> out;
    for (const Row& r : rows)
        if (which == Selection::All || (which == Selection::Indexed) == r.Indexed) out.push_back(r.File);
    return out;
}

bool IndexDataFile(esFiles& files, const fs::path& file, Progress* progress) {
    std::error_code ec;
    const std::string key = fs::absolute(file, ec).string();
    if (esfile* open = files.Find(key)) return files.Indexer().BuildIndex(*open, progress);
    esfile* f = files.Add(key);
    if (!f) return false;
    f->FileTitle = file.filename().string();
    const bool loaded = f->LoadFile(key, false, false, progress) == esfile::kLoaded;
    if (progress) progress->DoneWaiting();
    const bool indexed = loaded && files.Indexer().BuildIndex(*f, progress);
    if (progress) progress->Waiting(-1, "Unloading");
    files.Remove(key);
    if (progress) progress->DoneWaiting();
    return indexed;
}

} // namespace vellum::index_manager
