#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// Finds the game's data folder (the folder of Morrowind.esm) the way a Linux install has it.
// Folders are returned as text ending in "/".
class DataFolder {
public:
    struct Sources {
        std::string configured;           // [Paths] DataFolder of Vellum.ini
        std::filesystem::path openmwCfg;  // OpenMW's openmw.cfg
        std::filesystem::path home;       // the user's home folder
    };

    // The sources of this process: the configured text, $XDG_CONFIG_HOME/openmw/openmw.cfg
    // (default ~/.config/openmw/openmw.cfg) and $HOME.
    static Sources ForUser(std::string configured);

    // The configured folder when set; else the first data folder of openmw.cfg that holds
    // Morrowind.esm; else Steam's folder when it exists; else the fixed default.
    static std::string Find(const Sources& sources);

    // The usual Steam locations of the game's data folder under `home`.
    static std::vector<std::filesystem::path> SteamFolders(const std::filesystem::path& home);

    // The folder a Windows install would use, inside the default Wine prefix.
    static std::filesystem::path DefaultFolder(const std::filesystem::path& home);

    // The installation folder: the parent of the data folder, ending in "/".
    static std::string InstallFolder(std::string_view dataFolder);

    // True when `folder` holds Morrowind.esm, in any letter case.
    static bool HoldsMaster(const std::filesystem::path& folder);

    static std::string WithSlash(const std::filesystem::path& folder);
};

} // namespace vellum
