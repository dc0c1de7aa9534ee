#pragma once

#include <string>
#include <string_view>

namespace vellum {

class Config;

// The program-wide settings kept in Vellum.ini, with the presets a run starts from.
struct AppSettings {
    // "Performance"
    bool LeaveRecordsUnpacked = false;
    bool MapFiles = true; // data files mapped under a read lease, else read into memory
    // "View"
    bool HotTracking = false;
    std::string BackGroundImage;
    bool ViewRecordTypes = false;
    // "Editing"
    bool EnableDelete = false;
    bool EnableSafeEdit = true;
    bool ConfirmDelete = false;
    bool ConfirmCut = false;
    bool ReplaceClipboard = false;
    bool SafeCutBehaviour = false;
    bool SortRecordsWhenSaving = false; // else a save keeps the file's own order
    // "Paths": the game data folder chosen by the user; empty means "find it".
    std::string DataFolder;
};

// The options dialog's question when safe editing is cleared (Yes and No).
inline constexpr std::string_view kSafeEditOffQuestion =
    "Safe editing ensures that the editor scans for dependencies when you delete, cut or copy."
    "Without safe editing it is possible to delete entries that other entries rely on and copy entries "
    "without the entries that they rely on.\n\nAre you sure you want to TURN OFF safe editing?";

// A stored boolean is true only for the text "True" in any letter case ("1" is false).
bool SettingIsTrue(std::string_view text);

// Reads `path` into `settings` (a missing file leaves it empty) and applies it.
void LoadSettings(Config& settings, const std::string& path, AppSettings& values);
// Sets `values` from the keys present; adds each missing key with its default text, leaving
// the value in force at its preset. Nothing is saved.
void ApplySettings(Config& settings, AppSettings& values);
// Writes every setting into `settings` and saves it to its path without asking; 0 on success.
int SaveSettings(Config& settings, const AppSettings& values);

} // namespace vellum
