#pragma once

#include "template/AppSettings.h"
#include "template/Config.h"
#include "template/ProgramFolder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vellum {

class esFiles;

// What the program sets up before its first window: the program's folders, the format
// template, the settings and the game's data folder. The editor and vellum-cli
// each keep one for the whole run; it does not move, as codecs hold its template.
class Startup {
public:
    struct Options {
        ProgramFolder folders;              // found for this executable when empty
        std::filesystem::path templateFile; // the format template; the folders' one when empty
        bool findDataFolder = true;         // look for the game (openmw.cfg, Steam…)
    };

    Startup() : Startup(Options{}) {}
    explicit Startup(Options options);
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    Config& TemplateConfig() { return template_; }
    const Config& TemplateConfig() const { return template_; }
    Config& SettingsConfig() { return settings_; }
    AppSettings& Settings() { return values_; }
    const AppSettings& Settings() const { return values_; }

    // The open-file collection with the clipboard file, made on first use with the template
    // and the Indices folder, and given the settings that concern it.
    esFiles& Files();

    const vellum::ProgramFolder& Folders() const { return folders_; }
    std::filesystem::path TemplatesFolder() const { return folders_.TemplatesFolder(); }
    std::filesystem::path IndicesFolder() const { return folders_.IndicesFolder(); }
    std::filesystem::path DumpsFolder() const { return folders_.DumpsFolder(); }

    // The template data files in `folder` a new file can be made from (File New): caption (the
    // name without its four-character extension) and full file name, by name in any case.
    static std::vector<std::pair<std::string, std::string>> TemplateFiles(const std::filesystem::path& folder);

    // The game data folder, ending in "/"; InstallFolder() is its parent.
    const std::string& DataFolder() const { return dataFolder_; }
    std::string InstallFolder() const;
    void GetDataFolder();

    // Both hand the settings in force to what they concern: the open files (records left
    // unpacked; the collection reads the rest itself) and the reading of files (mapping).
    void LoadSettings();
    int SaveSettings();

    // After the configuration editor closed on `fileName`: an edited ESTemplate.ini is read
    // again at once, and the settings are read again.
    void ConfigFileEdited(const std::string& fileName);

private:
    void ApplyToFiles();

    vellum::ProgramFolder folders_;
    std::filesystem::path templatePath_;
    Config settings_;
    Config template_;
    AppSettings values_;
    std::string dataFolder_;
    std::unique_ptr<esFiles> files_;
};

} // namespace vellum
