#include "ui/EditorContext.h"

#include "model/Text.h"
#include "model/esfile.h"
#include "ui/LegacyText.h"

namespace vellum::ui {

EditorContext::EditorContext(Startup::Options options)
    : startup(std::move(options)), settings(startup.SettingsConfig()), templ(startup.TemplateConfig()),
      values(startup.Settings()), files(startup.TemplateConfig(), startup.IndicesFolder(), &startup.Settings()),
      folders(startup.Folders()), dataFolder(startup.DataFolder()), codePage(values.Encoding) {
    LoadEditorSettings();
    files.SetLeaveRecordsUnpacked(values.LeaveRecordsUnpacked);
}

std::vector<std::string> EditorContext::FileKeys() {
    std::vector<std::string> keys;
    for (const auto& e : files)
        keys.push_back(e.key);
    return keys;
}

esfile& EditorContext::AddClipboardFile() {
    std::string key;
    for (int n = 1; key.empty() || files.Exists(key); ++n)
        key = "<Clipboard" + std::to_string(n) + ">";
    esfile* f = files.Add(key);
    f->FileTitle = "Clipboard";
    f->Clipboard = true;
    return *f;
}

void EditorContext::LoadEditorSettings() {
    SetTextCodePage(codePage);
    codePage = TextCodePage();
    developer = SettingIsTrue(settings.GetVar("Developer", "Enabled"));
}

int EditorContext::SaveSettings() {
    return startup.SaveSettings();
}

} // namespace vellum::ui
