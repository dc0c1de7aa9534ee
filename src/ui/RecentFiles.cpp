#include "ui/RecentFiles.h"

#include "template/Config.h"

#include <algorithm>

namespace vellum::ui {
namespace {
constexpr const char* kGroup = "RecentFiles";
}

void RecentFiles::Add(const std::string& display, const std::string& path) {
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [&](const Entry& e) { return e.path == path; });
    if (found != entries_.end())
        entries_.erase(found);
    else if (entries_.size() >= kMaxEntries)
        entries_.pop_back();
    entries_.insert(entries_.begin(), Entry{display, path});
}

std::string RecentFiles::Caption(std::size_t number, const std::string& display) {
    const std::string shown = display.size() > 30 ? display.substr(0, 27) + "..." : display;
    return "&" + std::to_string(number) + ". " + shown;
}

void RecentFiles::Load(const Config& settings) {
    const Group* group = settings.FindGroup(kGroup);
    if (!group)
        return;
    std::size_t read = 0;
    for (const auto& entry : group->Variables) {
        if (read++ == kMaxEntries)
            break;
        Add(entry.value.Name, entry.value.Value);
    }
}

void RecentFiles::Save(Config& settings) const {
    if (!settings.GroupExists(kGroup))
        settings.AddGroup(kGroup);
    Group* group = settings.FindGroup(kGroup);
    if (!group)
        return;
    group->Variables.clear();
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        group->Variables.Add(it->display, it->path);
    settings.Touch();
}

} // namespace vellum::ui
