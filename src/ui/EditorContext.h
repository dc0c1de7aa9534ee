#pragma once

#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "ui/FileSet.h"

#include <filesystem>
#include <string>

namespace vellum::ui {

// What the windows share for the whole run: the settings and the format template, the program
// and game data folders, and the editing flags the menus toggle.
class EditorContext {
public:
    EditorContext() = default;
    EditorContext(const EditorContext&) = delete;
    EditorContext& operator=(const EditorContext&) = delete;

    Config settings; // Vellum.ini
    Config templ;    // ESTemplate.ini
    PropertyCodec codec{templ};
    FileSet files{codec};
    std::filesystem::path programDir;
    std::filesystem::path dataFolder;

    // Editing flags (group "Editing" of the settings).
    bool safeEditing = true;
    bool enableDelete = false;
    bool confirmDelete = false;
    bool confirmCut = false;
    bool replaceClipboard = false;
    bool safeCutBehaviour = false;
    // View and performance.
    bool viewRecordTypes = false;
    bool hotTracking = false;
    bool leaveRecordsUnpacked = false;
    std::string backgroundImage;
    int codePage = 1252;
    bool developer = false; // shows frmUnload's "&Terminate Now"

    std::filesystem::path SettingsPath() const { return programDir / "Vellum.ini"; }
    std::filesystem::path TemplatePath() const { return programDir / "ESTemplate.ini"; }
    std::filesystem::path TemplatesFolder() const { return programDir / "Templates"; }
};

} // namespace vellum::ui
