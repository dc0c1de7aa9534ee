#include "ui/SettingsStore.h"

#include "model/Text.h"
#include "ui/EditorContext.h"
#include "ui/LegacyText.h"

#include <string>

namespace vellum::ui {
namespace {

struct BoolSetting {
    const char* group;
    const char* key;
    bool EditorContext::*field;
    const char* missing; // text written for a missing key
};

constexpr BoolSetting kBools[] = {
    {"Performance", "LeaveRecordsUnpacked", &EditorContext::leaveRecordsUnpacked, "1"},
    {"View", "HotTracking", &EditorContext::hotTracking, "True"},
    {"View", "ViewRecordTypes", &EditorContext::viewRecordTypes, "False"},
    {"Editing", "EnableDelete", &EditorContext::enableDelete, "False"},
    {"Editing", "EnableSafeEdit", &EditorContext::safeEditing, "True"},
    {"Editing", "ConfirmDelete", &EditorContext::confirmDelete, "True"},
    {"Editing", "ConfirmCut", &EditorContext::confirmCut, "True"},
    {"Editing", "ReplaceClipboard", &EditorContext::replaceClipboard, "True"},
    {"Editing", "SafeCutBehaviour", &EditorContext::safeCutBehaviour, "False"},
};

bool IsTrue(const std::string& text) { return ToUpper(TrimSpaces(text)) == "TRUE"; }

} // namespace

void LoadSettings(EditorContext& c) {
    Config& s = c.settings;
    s.OpenFile(c.SettingsPath().string());
    for (const char* group : {"Performance", "View", "Editing"})
        if (!s.GroupExists(group))
            s.AddGroup(group);
    for (const BoolSetting& b : kBools) {
        if (s.VarExists(b.group, b.key))
            c.*b.field = IsTrue(s.GetVar(b.group, b.key));
        else
            s.AddVar(b.group, b.key, b.missing);
    }
    if (s.VarExists("View", "BackGroundImage"))
        c.backgroundImage = s.GetVar("View", "BackGroundImage");
    else
        s.AddVar("View", "BackGroundImage", "");
    if (s.VarExists("View", "Encoding"))
        c.codePage = ValInt(s.GetVar("View", "Encoding"));
    else
        s.AddVar("View", "Encoding", "1252");
    SetTextCodePage(c.codePage);
    c.codePage = TextCodePage();
    c.developer = IsTrue(s.GetVar("Developer", "Enabled"));
}

void SaveSettings(EditorContext& c) {
    Config& s = c.settings;
    for (const char* group : {"Performance", "View", "Editing"})
        if (!s.GroupExists(group))
            s.AddGroup(group);
    for (const BoolSetting& b : kBools)
        s.SetVar(b.group, b.key, c.*b.field ? "True" : "False");
    s.SetVar("View", "BackGroundImage", c.backgroundImage);
    s.SetVar("View", "Encoding", std::to_string(c.codePage));
    if (s.path().empty())
        s.setPath(c.SettingsPath().string());
    s.Save();
}

} // namespace vellum::ui
