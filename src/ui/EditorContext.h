#pragma once

#include "index/esFiles.h"
#include "template/AppSettings.h"
#include "template/Config.h"
#include "template/Startup.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vellum::ui {

// What the windows share for the whole run: the start-up state (program folders, format
// template, settings, game data folder), the open files, and the editor's own view settings.
class EditorContext {
public:
    explicit EditorContext(Startup::Options options = {});
    EditorContext(const EditorContext&) = delete;
    EditorContext& operator=(const EditorContext&) = delete;

    Startup startup;
    Config& settings;    // Vellum.ini
    Config& templ;       // ESTemplate.ini
    AppSettings& values; // the settings in force
    esFiles files;
    const ProgramFolder& folders;     // where every file of the program is read and written
    std::filesystem::path dataFolder; // ends in "/"
    int codePage = 1252;              // [View] Encoding
    bool developer = false;           // [Developer] Enabled: frmUnload's "&Terminate Now"

    std::filesystem::path SettingsPath() const { return folders.SettingsFile(); }
    std::filesystem::path TemplatePath() const { return folders.TemplateFile(); }
    std::filesystem::path TemplatesFolder() const { return folders.TemplatesFolder(); }

    // Keys of the open files in collection order (a copy: closing files changes the collection).
    std::vector<std::string> FileKeys();
    // After the clipboard file was saved as a normal file: a new one under "<Clipboard" n ">".
    esfile& AddClipboardFile();

    // The editor's parts of Vellum.ini beside the program-wide settings: the text encoding and
    // the developer switch are read here; SaveSettings writes everything.
    void LoadEditorSettings();
    int SaveSettings();
};

} // namespace vellum::ui
