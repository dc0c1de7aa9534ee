#include "ui/EditorContext.h"

#include "model/Text.h"
#include "model/esfile.h"
#include "ui/LegacyText.h"

namespace vellum::ui {

EditorContext::EditorContext(Startup::Options options)
    : startup(std::move(options)), settings(startup.SettingsConfig()), templ(startup.TemplateConfig()),
      values(startup.Settings()), files(startup.TemplateConfig(), startup.IndicesFolder()),
      folders(startup.Folders()), dataFolder(startup.DataFolder()) {
    LoadEditorSettings();
    files.SetLeaveRecordsUnpacked(values.LeaveRecordsUnpacked);
    files.ReplaceClipboard = values.ReplaceClipboard;
    files.SafeCutBehaviour = values.SafeCutBehaviour ? 1 : 0;
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
    if (settings.VarExists("View", "Encoding"))
        codePage = ValInt(settings.GetVar("View", "Encoding"));
    else
        settings.AddVar("View", "Encoding", "1252");
    SetTextCodePage(codePage);
    codePage = TextCodePage();
    developer = SettingIsTrue(settings.GetVar("Developer", "Enabled"));
}

int EditorContext::SaveSettings() {
    settings.SetVar("View", "Encoding", std::to_string(codePage));
    files.SetLeaveRecordsUnpacked(values.LeaveRecordsUnpacked);
    files.ReplaceClipboard = values.ReplaceClipboard;
    files.SafeCutBehaviour = values.SafeCutBehaviour ? 1 : 0;
    return startup.SaveSettings();
}

} // namespace vellum::ui
