#include "template/Startup.h"

#include "index/esFiles.h"
#include "model/FileBuffer.h"
#include "model/KeyedCollection.h"
#include "template/DataFolder.h"

#include <algorithm>

namespace vellum {

namespace fs = std::filesystem;

Startup::Startup(Options options)
    : folders_(options.folders.empty() ? ProgramFolder::Find() : std::move(options.folders)),
      templatePath_(options.templateFile.empty() ? folders_.TemplateFile() : options.templateFile) {
    folders_.Prepare();
    template_.OpenFile(templatePath_.string()); // a missing template gives an empty model
    LoadSettings();
    if (options.findDataFolder) GetDataFolder();
}

Startup::~Startup() = default;

esFiles& Startup::Files() {
    if (!files_) {
        files_ = std::make_unique<esFiles>(template_, IndicesFolder(), &values_);
        ApplyToFiles();
    }
    return *files_;
}

void Startup::ApplyToFiles() {
    FileBuffer::SetMapping(values_.MapFiles ? FileBuffer::Mapping::Leased : FileBuffer::Mapping::Off);
    if (!files_) return;
    files_->SetLeaveRecordsUnpacked(values_.LeaveRecordsUnpacked);
}

void Startup::GetDataFolder() { dataFolder_ = DataFolder::Find(DataFolder::ForUser(values_.DataFolder)); }

std::string Startup::InstallFolder() const { return DataFolder::InstallFolder(dataFolder_); }

void Startup::LoadSettings() {
    vellum::LoadSettings(settings_, folders_.SettingsFile().string(), values_);
    ApplyToFiles();
}

int Startup::SaveSettings() {
    ApplyToFiles();
    return vellum::SaveSettings(settings_, values_);
}

std::vector<std::pair<std::string, std::string>> Startup::TemplateFiles(const fs::path& folder) {
    std::vector<std::pair<std::string, std::string>> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        out.emplace_back(name.size() > 4 ? name.substr(0, name.size() - 4) : name, name);
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return FoldKey(a.second) < FoldKey(b.second); });
    return out;
}

void Startup::ConfigFileEdited(const std::string& fileName) {
    if (KeysEqual(fs::path(fileName).filename().string(), "ESTemplate.ini")) {
        // The editor opened the file by the name the user gave; the template in force is ours.
        template_.clear();
        template_.OpenFile(templatePath_.string());
    }
    LoadSettings();
}

} // namespace vellum
