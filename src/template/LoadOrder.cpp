#include "template/LoadOrder.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"

#include <algorithm>
#include <map>
#include <system_error>
#include <unordered_map>

namespace vellum {

namespace fs = std::filesystem;

namespace {

// Every file of the folders by its folded name; a later folder's file replaces an earlier one's.
std::unordered_map<std::string, fs::path> Listing(const std::vector<fs::path>& folders) {
    std::unordered_map<std::string, fs::path> files;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec)) files[FoldKey(it->path().filename().string())] = it->path();
    }
    return files;
}

} // namespace

fs::path LoadOrder::FindIn(const std::vector<fs::path>& folders, std::string_view name) {
    const auto files = Listing(folders);
    const auto it = files.find(FoldKey(name));
    return it == files.end() ? fs::path{} : it->second;
}

void LoadOrder::Locate() {
    const auto found = Listing(dataFolders);
    for (Entry& e : files)
        if (const auto it = found.find(FoldKey(e.name)); it != found.end()) e.path = it->second;
}

LoadOrder LoadOrder::FromOpenMW(std::string_view text, const fs::path& cfgFile) {
    LoadOrder order;
    order.source = cfgFile;
    order.dataFolders = DataFolder::OpenMWDataFolders(text, cfgFile.parent_path());
    // OpenMW's own folder for the user's content, searched after the others.
    for (const std::string& local : DataFolder::OpenMWValues(text, "data-local")) {
        const fs::path p(local);
        order.dataFolders.push_back(p.is_relative() ? cfgFile.parent_path() / p : p);
    }
    for (std::string& name : DataFolder::OpenMWValues(text, "content")) {
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
    const std::string text = DataFolder::ReadConfigFile(file);
    if (text.empty()) return std::nullopt;
    LoadOrder order = KeysEqual(file.filename().string(), "Morrowind.ini") ? FromMorrowindIni(text, file)
                                                                           : FromOpenMW(text, file);
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
