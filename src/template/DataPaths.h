#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// The folders the game's data files are found in, lowest priority first: a file in a later
// folder wins over one of the same name in an earlier folder, as in OpenMW. File names compare
// without regard to letter case, as the game's do (Morrowind.esm is morrowind.esm on Linux too).
class DataPaths {
public:
    DataPaths() = default;
    // The same folder named twice counts once, at its first place.
    explicit DataPaths(std::vector<std::filesystem::path> folders);
    // The game's data folder, then every data folder of openmw.cfg (the user's by default).
    static DataPaths ForGame(const std::filesystem::path& dataFolder, const std::filesystem::path& openmwCfg = {});

    const std::vector<std::filesystem::path>& Folders() const { return folders_; }

    // The file of that name in the folder that wins, or nothing.
    std::optional<std::filesystem::path> Find(std::string_view fileName) const;

    // Every regular file of the folders, the winning one for each name, by folded name.
    std::vector<std::filesystem::path> Files() const;

private:
    const std::vector<std::string>& Listing(std::size_t folder) const;

    std::vector<std::filesystem::path> folders_;
    mutable std::map<std::size_t, std::vector<std::string>> listings_; // file names per folder
};

} // namespace vellum
