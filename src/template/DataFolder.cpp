#include "template/DataFolder.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

fs::path EnvFolder(const char* name, const fs::path& fallback) {
    const char* v = std::getenv(name);
    return v && *v == '/' ? fs::path(v) : fallback;
}

// OpenMW writes data="…" with & escaping the next character (&& and &"); unquoted values
// are taken as they stand.
std::string Unquote(std::string_view value) {
    if (value.empty() || value.front() != '"') return std::string(value);
    std::string out;
    for (std::size_t i = 1; i < value.size(); ++i) {
        char c = value[i];
        if (c == '&' && i + 1 < value.size()) {
            out += value[++i];
        } else if (c == '"') {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string DataFolder::ReadConfigFile(const fs::path& file) {
    std::error_code ec;
    auto size = fs::file_size(file, ec);
    if (ec || size > (1u << 24)) return {}; // an openmw.cfg is small; ignore anything odd
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DataFolder::Sources DataFolder::ForUser(std::string configured) {
    const char* h = std::getenv("HOME");
    fs::path home = h && *h ? fs::path(h) : fs::path("/");
    fs::path config = EnvFolder("XDG_CONFIG_HOME", home / ".config");
    return {std::move(configured), config / "openmw" / "openmw.cfg", home};
}

std::vector<std::string> DataFolder::OpenMWValues(std::string_view text, std::string_view key) {
    std::vector<std::string> out;
    for (const std::string& raw : Split(text, '\n')) {
        std::string_view line = raw;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = TrimSpaces(line);
        if (line.empty() || line.front() == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || TrimSpaces(line.substr(0, eq)) != key) continue;
        std::string value = Unquote(TrimSpaces(line.substr(eq + 1)));
        if (!value.empty()) out.push_back(std::move(value));
    }
    return out;
}

std::vector<fs::path> DataFolder::OpenMWDataFolders(std::string_view text, const fs::path& cfgFolder) {
    std::vector<fs::path> out;
    for (const std::string& value : OpenMWValues(text, "data")) {
        fs::path p(value);
        out.push_back(p.is_relative() ? cfgFolder / p : p);
    }
    return out;
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
    std::string cfg = ReadConfigFile(sources.openmwCfg);
    for (const fs::path& folder : OpenMWDataFolders(cfg, sources.openmwCfg.parent_path()))
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
