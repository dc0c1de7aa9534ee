#include "index/IndexManager.h"

#include "index/IdxFile.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/SupportFiles.h"
#include "model/Text.h"

#include <system_error>

namespace vellum::index_manager {

namespace fs = std::filesystem;

std::vector<Row> ListDataFiles(const fs::path& dataFolder, const fs::path& indicesDir) {
    std::vector<Row> rows;
    for (const SupportFiles::Row& f : SupportFiles::ListDataFiles(dataFolder)) {
        const fs::path file = f.Path;
        if (EndsWithNoCase(file.extension().string(), ".esp") && EndsWithNoCase(file.stem().string(), "ESM"))
            continue;
        const bool indexed = IdxFileExists(indicesDir, f.Name);
        rows.push_back({file, indexed, indexed ? "Indexed" : "", indexed ? "Re-index File" : "Index File"});
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
