#include "template/AppSettings.h"

#include "model/KeyedCollection.h"
#include "template/Config.h"

#include <array>

namespace vellum {

namespace {

// One setting: where it lives, the text added when the key is missing, and its field.
struct Entry {
    const char* group;
    const char* key;
    const char* whenMissing;
    bool AppSettings::*flag;
    std::string AppSettings::*text;
};

// The order of the table is the order keys are added to a fresh file.
constexpr std::array kEntries{
    Entry{"Performance", "LeaveRecordsUnpacked", "1", &AppSettings::LeaveRecordsUnpacked, nullptr},
    Entry{"Performance", "MapFiles", "True", &AppSettings::MapFiles, nullptr},
    Entry{"View", "HotTracking", "True", &AppSettings::HotTracking, nullptr},
    Entry{"View", "BackGroundImage", "", nullptr, &AppSettings::BackGroundImage},
    Entry{"View", "ViewRecordTypes", "False", &AppSettings::ViewRecordTypes, nullptr},
    Entry{"Editing", "EnableDelete", "False", &AppSettings::EnableDelete, nullptr},
    Entry{"Editing", "EnableSafeEdit", "True", &AppSettings::EnableSafeEdit, nullptr},
    Entry{"Editing", "ConfirmDelete", "True", &AppSettings::ConfirmDelete, nullptr},
    Entry{"Editing", "ConfirmCut", "True", &AppSettings::ConfirmCut, nullptr},
    Entry{"Editing", "ReplaceClipboard", "True", &AppSettings::ReplaceClipboard, nullptr},
    Entry{"Editing", "SafeCutBehaviour", "False", &AppSettings::SafeCutBehaviour, nullptr},
    Entry{"Editing", "SortRecordsWhenSaving", "False", &AppSettings::SortRecordsWhenSaving, nullptr},
    Entry{"Paths", "DataFolder", "", nullptr, &AppSettings::DataFolder},
};

constexpr std::array kGroups{"Performance", "View", "Editing", "Paths"};

} // namespace

bool SettingIsTrue(std::string_view text) { return KeysEqual(text, "True"); }

void LoadSettings(Config& settings, const std::string& path, AppSettings& values) {
    settings.OpenFile(path); // a missing or unreadable file leaves an empty model
    settings.setPath(path);
    ApplySettings(settings, values);
}

void ApplySettings(Config& settings, AppSettings& values) {
    for (const char* group : kGroups) settings.AddGroup(group);
    for (const Entry& e : kEntries) {
        const Variable* v = settings.FindVar(e.group, e.key);
        if (!v) {
            settings.AddVar(e.group, e.key, e.whenMissing);
            continue;
        }
        if (e.flag)
            values.*e.flag = SettingIsTrue(v->Value);
        else
            values.*e.text = v->Value;
    }
}

int SaveSettings(Config& settings, const AppSettings& values) {
    for (const Entry& e : kEntries) {
        std::string text = e.flag ? (values.*e.flag ? "True" : "False") : values.*e.text;
        settings.SetVar(e.group, e.key, text);
    }
    return settings.Save({}, false);
}

} // namespace vellum
