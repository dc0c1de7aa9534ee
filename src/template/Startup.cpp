#include "template/Startup.h"

#include "model/KeyedCollection.h"
#include "template/DataFolder.h"
#include "template/ProgramFolder.h"

namespace vellum {

namespace fs = std::filesystem;

Startup::Startup(Options options)
    : home_(options.home.empty() ? ProgramFolder::Find() : options.home),
      templatePath_(options.templateFile.empty() ? home_ / "ESTemplate.ini" : options.templateFile) {
    ProgramFolder::CreateFolders(home_);
    template_.OpenFile(templatePath_.string()); // a missing template gives an empty model
    LoadSettings();
    if (options.findDataFolder) GetDataFolder();
}

void Startup::GetDataFolder() { dataFolder_ = DataFolder::Find(DataFolder::ForUser(values_.DataFolder)); }

std::string Startup::InstallFolder() const { return DataFolder::InstallFolder(dataFolder_); }

void Startup::LoadSettings() { vellum::LoadSettings(settings_, (home_ / "Vellum.ini").string(), values_); }

int Startup::SaveSettings() { return vellum::SaveSettings(settings_, values_); }

fs::path Startup::ConfigFilePath(const std::string& fileName) const { return home_ / fileName; }

void Startup::ConfigFileEdited(const std::string& fileName) {
    if (KeysEqual(fs::path(fileName).filename().string(), "ESTemplate.ini")) {
        // The editor opened the file by the name the user gave; the template in force is ours.
        template_.clear();
        template_.OpenFile(templatePath_.string());
    }
    LoadSettings();
}

} // namespace vellum
