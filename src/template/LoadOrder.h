#pragma once

#include "template/DataFolder.h"
#include "template/OpenMWConfig.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// The files the game loads, in its order, as the user's game set-up names them: OpenMW's
// openmw.cfg (its data= folders and content= files, in order), or the original game's
// Morrowind.ini ([Game Files]; that game loads masters before plug-ins and older files first).
// Files are found in the data folders without regard to letter case, a later folder winning.
class LoadOrder {
public:
    struct Entry {
        std::string name;
        std::filesystem::path path; // empty: in no data folder
    };

    std::filesystem::path source; // the configuration read
    std::vector<std::filesystem::path> dataFolders;
    std::vector<Entry> files;

    // `cfg` was read from `cfgFile`.
    static LoadOrder FromOpenMW(const OpenMWConfig& cfg, const std::filesystem::path& cfgFile);
    // The data folder is "Data Files" beside `iniFile`.
    static LoadOrder FromMorrowindIni(std::string_view text, const std::filesystem::path& iniFile);
    // Either kind, by the file's name (Morrowind.ini, any letter case, or else openmw.cfg);
    // nothing when it cannot be read or names no file.
    static std::optional<LoadOrder> Read(const std::filesystem::path& file);
    // The user's: openmw.cfg, else the Morrowind.ini of the game's installation folder.
    static std::optional<LoadOrder> ForUser(const DataFolder::Sources& sources, std::string_view dataFolder);

private:
    void Locate();
};

} // namespace vellum
