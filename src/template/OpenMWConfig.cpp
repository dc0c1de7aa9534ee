#include "template/OpenMWConfig.h"

#include "model/Text.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kLargestConfig = std::uintmax_t{1} << 24; // an openmw.cfg is small

fs::path Home() {
    const char* h = std::getenv("HOME");
    return h && *h ? fs::path(h) : fs::path("/");
}

// The XDG rules ignore a relative value.
fs::path XdgFolder(const char* name, const fs::path& fallback) {
    const char* v = std::getenv(name);
    return v && *v == '/' ? fs::path(v) : fallback;
}

// OpenMW writes key="…" with & escaping the next character (&& and &"); unquoted values are
// taken as they stand.
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

OpenMWConfig::OpenMWConfig(std::string_view text, fs::path folder) : folder_(std::move(folder)) {
    for (const std::string& raw : Split(text, '\n')) {
        std::string_view line = raw;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = TrimSpaces(line);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = TrimSpaces(line.substr(0, eq));
        if (key.empty()) continue;
        entries_.push_back({std::string(key), Unquote(TrimSpaces(line.substr(eq + 1)))});
    }
}

OpenMWConfig OpenMWConfig::Read(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec || size > kLargestConfig) return OpenMWConfig({}, file.parent_path());
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return OpenMWConfig(text, file.parent_path());
}

fs::path OpenMWConfig::UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", Home() / ".config") / "openmw"; }

fs::path OpenMWConfig::UserDataFolder() { return XdgFolder("XDG_DATA_HOME", Home() / ".local" / "share") / "openmw"; }

std::vector<std::string> OpenMWConfig::Values(std::string_view key) const {
    std::vector<std::string> out;
    for (const Entry& e : entries_) {
        if (e.key == key) {
            out.push_back(e.value);
        } else if (e.key == "replace" && e.value == key) {
            out.clear();
        }
    }
    return out;
}

fs::path OpenMWConfig::PathOf(std::string_view value) const {
    std::string text(value);
    for (const auto& [token, folder] : {std::pair{std::string_view("?userdata?"), UserDataFolder()},
                                        std::pair{std::string_view("?userconfig?"), UserConfigFolder()}}) {
        if (text.starts_with(token)) {
            std::string_view rest = std::string_view(text).substr(token.size());
            while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
            return rest.empty() ? folder : folder / rest;
        }
    }
    fs::path p(text);
    return p.is_relative() ? folder_ / p : p;
}

std::vector<fs::path> OpenMWConfig::DataFolders() const {
    std::vector<fs::path> out;
    for (const char* key : {"data", "data-local"})
        for (const std::string& value : Values(key))
            if (!value.empty()) out.push_back(PathOf(value));
    return out;
}

} // namespace vellum
