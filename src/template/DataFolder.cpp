#include "template/DataFolder.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "template/OpenMWConfig.h"

#include <cstdlib>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

DataFolder::Sources DataFolder::ForUser(std::string configured) {
    const char* h = std::getenv("HOME");
    fs::path home = h && *h ? fs::path(h) : fs::path("/");
    return {std::move(configured), OpenMWConfig::UserConfigFolder() / "openmw.cfg", home};
}

bool DataFolder::HoldsMaster(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_regular_file(folder / "Morrowind.esm", ec)) return true;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (KeysEqual(it->path().filename().string(), "Morrowind.esm")) return true;
    return false;
}

std::vector<fs::path> DataFolder::SteamFolders(const fs::path& home) {
    const fs::path game = fs::path("steamapps") / "common" / "Morrowind" / "Data Files";
    return {home / ".steam" / "steam" / game, home / ".local" / "share" / "Steam" / game,
            home / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam" / game};
}

fs::path DataFolder::DefaultFolder(const fs::path& home) {
    return home / ".wine" / "drive_c" / "Program Files" / "Morrowind" / "Data Files";
}

std::string DataFolder::WithSlash(const fs::path& folder) {
    std::string s = folder.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

std::string DataFolder::Find(const Sources& sources) {
    if (!TrimSpaces(sources.configured).empty())
        return WithSlash(std::string(TrimSpaces(sources.configured)));
    for (const fs::path& folder : OpenMWConfig::Read(sources.openmwCfg).DataFolders())
        if (HoldsMaster(folder)) return WithSlash(folder);
    std::error_code ec;
    for (const fs::path& folder : SteamFolders(sources.home))
        if (fs::is_directory(folder, ec)) return WithSlash(folder);
    return WithSlash(DefaultFolder(sources.home));
}

std::string DataFolder::InstallFolder(std::string_view dataFolder) {
    fs::path p(dataFolder);
    if (!p.has_filename()) p = p.parent_path(); // drop the trailing "/"
    return WithSlash(p.parent_path());
}

} // namespace vellum
