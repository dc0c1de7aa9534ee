#include "template/DataPaths.h"

#include "model/KeyedCollection.h"
#include "template/OpenMWConfig.h"

#include <algorithm>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

DataPaths::DataPaths(std::vector<fs::path> folders) {
    for (fs::path& f : folders) {
        fs::path clean = f.lexically_normal();
        if (!clean.has_filename()) clean = clean.parent_path(); // "/a/b/" is "/a/b"
        if (clean.empty() || std::find(folders_.begin(), folders_.end(), clean) != folders_.end()) continue;
        folders_.push_back(std::move(clean));
    }
}

DataPaths DataPaths::ForGame(const fs::path& dataFolder, const fs::path& openmwCfg) {
    std::vector<fs::path> folders{dataFolder};
    const fs::path cfg = openmwCfg.empty() ? OpenMWConfig::UserConfigFolder() / "openmw.cfg" : openmwCfg;
    for (fs::path& f : OpenMWConfig::Read(cfg).DataFolders()) folders.push_back(std::move(f));
    return DataPaths(std::move(folders));
}

const std::vector<std::string>& DataPaths::Listing(std::size_t folder) const {
    auto [it, fresh] = listings_.try_emplace(folder);
    if (!fresh) return it->second;
    std::error_code ec;
    for (fs::directory_iterator d(folders_[folder], ec), end; !ec && d != end; d.increment(ec)) {
        std::error_code fec;
        if (d->is_regular_file(fec)) it->second.push_back(d->path().filename().string());
    }
    return it->second;
}

std::optional<fs::path> DataPaths::Find(std::string_view fileName) const {
    if (fileName.empty() || fileName.find('/') != std::string_view::npos) return std::nullopt;
    for (std::size_t f = folders_.size(); f-- > 0;) {
        const std::vector<std::string>& names = Listing(f);
        // The exact name first: a folder may hold both Foo.esp and foo.esp.
        auto hit = std::find(names.begin(), names.end(), fileName);
        if (hit == names.end())
            hit = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return KeysEqual(n, fileName); });
        if (hit != names.end()) return folders_[f] / *hit;
    }
    return std::nullopt;
}

std::vector<fs::path> DataPaths::Files() const {
    KeyedCollection<fs::path> winners;
    for (std::size_t f = 0; f < folders_.size(); ++f)
        for (const std::string& name : Listing(f)) {
            if (fs::path* there = winners.Find(name)) {
                *there = folders_[f] / name;
            } else {
                winners.Add(name, folders_[f] / name);
            }
        }
    std::vector<fs::path> out;
    for (const auto& e : winners) out.push_back(e.value);
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) {
        return FoldKey(a.filename().string()) < FoldKey(b.filename().string());
    });
    return out;
}

} // namespace vellum
