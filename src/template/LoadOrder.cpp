#include "template/LoadOrder.h"

#include "model/KeyedCollection.h"
#include "template/DataPaths.h"
#include "model/Text.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

// A Morrowind.ini is a few kilobytes; anything far bigger is not one.
constexpr std::uintmax_t kLargestIni = 1u << 24;

std::string ReadIni(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec || size > kLargestIni) return {};
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

void LoadOrder::Locate() {
    const DataPaths paths(dataFolders);
    for (Entry& e : files)
        if (auto found = paths.Find(e.name)) e.path = std::move(*found);
}

LoadOrder LoadOrder::FromOpenMW(const OpenMWConfig& cfg, const fs::path& cfgFile) {
    LoadOrder order;
    order.source = cfgFile;
    order.dataFolders = cfg.DataFolders();
    for (std::string& name : cfg.Values("content")) {
        const bool twice = std::any_of(order.files.begin(), order.files.end(),
                                       [&](const Entry& e) { return KeysEqual(e.name, name); });
        if (!twice) order.files.push_back({std::move(name), {}});
    }
    order.Locate();
    return order;
}

LoadOrder LoadOrder::FromMorrowindIni(std::string_view text, const fs::path& iniFile) {
    LoadOrder order;
    order.source = iniFile;
    order.dataFolders = {iniFile.parent_path() / "Data Files"};
    std::map<int, std::string> listed; // GameFile<n> by n
    bool inGroup = false;
    for (const std::string& raw : Split(text, '\n')) {
        std::string_view line = TrimSpaces(raw);
        if (!line.empty() && line.back() == '\r') line = TrimSpaces(line.substr(0, line.size() - 1));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            inGroup = KeysEqual(line, "[Game Files]");
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos) continue;
        const std::string_view key = TrimSpaces(line.substr(0, eq)), value = TrimSpaces(line.substr(eq + 1));
        if (!StartsWithNoCase(key, "GameFile") || value.empty()) continue;
        const std::string_view number = key.substr(8);
        if (number.empty() || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            number.size() > 6)
            continue;
        listed.emplace(std::stoi(std::string(number)), std::string(value));
    }
    for (auto& [n, name] : listed)
        if (std::none_of(order.files.begin(), order.files.end(), [&](const Entry& e) { return KeysEqual(e.name, name); }))
            order.files.push_back({std::move(name), {}});
    order.Locate();
    // Masters first, then plug-ins, each older first; files not found keep their listed place last.
    auto rank = [](const Entry& e) {
        std::error_code ec;
        const auto time = e.path.empty() ? fs::file_time_type::max() : fs::last_write_time(e.path, ec);
        return std::make_pair(!EndsWithNoCase(e.name, ".esm"), ec ? fs::file_time_type::max() : time);
    };
    std::stable_sort(order.files.begin(), order.files.end(),
                     [&](const Entry& a, const Entry& b) { return rank(a) < rank(b); });
    return order;
}

std::optional<LoadOrder> LoadOrder::Read(const fs::path& file) {
    LoadOrder order = KeysEqual(file.filename().string(), "Morrowind.ini")
                          ? FromMorrowindIni(ReadIni(file), file)
                          : FromOpenMW(OpenMWConfig::Read(file), file);
    if (order.files.empty()) return std::nullopt;
    return order;
}

std::optional<LoadOrder> LoadOrder::ForUser(const DataFolder::Sources& sources, std::string_view dataFolder) {
    if (auto order = Read(sources.openmwCfg)) return order;
    const fs::path install = DataFolder::InstallFolder(dataFolder);
    std::error_code ec;
    for (fs::directory_iterator it(install, ec), end; !ec && it != end; it.increment(ec))
        if (KeysEqual(it->path().filename().string(), "Morrowind.ini")) return Read(it->path());
    return std::nullopt;
}

} // namespace vellum
