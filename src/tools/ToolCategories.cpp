#include "tools/ToolCategories.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "template/Config.h"
#include "tools/ToolEntry.h"

#include <algorithm>

namespace vellum {

ToolCategories::ToolCategories(Config& settings) : settings_(settings) {
    if (const Group* g = settings.FindGroup(ToolEntry::kFoldersGroup))
        for (const auto& e : g->Variables) rows_.push_back({e.value.Name, e.value.Name, ValInt(e.value.Value)});
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.Order < b.Order; });
    // Categories that tools name without a "ToolFolders" entry are listed last, so that OK
    // does not take them for removed ones.
    const Group* tools = settings.FindGroup(ToolEntry::kGroup);
    if (!tools) return;
    for (const auto& e : tools->Variables) {
        auto t = ToolEntry::Parse({}, e.value.Value);
        if (!t || KeysEqual(t->Category, ToolEntry::kRoot)) continue;
        bool listed = std::any_of(rows_.begin(), rows_.end(), [&](const Row& r) { return KeysEqual(r.Name, t->Category); });
        if (!listed) rows_.push_back({t->Category, t->Category, 0});
    }
}

bool ToolCategories::Up(std::size_t row) {
    if (row == 0 || row >= rows_.size()) return false;
    std::swap(rows_[row], rows_[row - 1]);
    return true;
}

bool ToolCategories::Down(std::size_t row) {
    if (row + 1 >= rows_.size()) return false;
    std::swap(rows_[row], rows_[row + 1]);
    return true;
}

void ToolCategories::Add(std::string name) { rows_.push_back({std::move(name), {}, 0}); }

void ToolCategories::Save() {
    settings_.AddGroup(ToolEntry::kFoldersGroup);
    settings_.FindGroup(ToolEntry::kFoldersGroup)->Variables.clear();
    settings_.Touch();
    KeyedCollection<std::string> renamed; // original name → name now ("" when removed)
    if (const Group* tools = settings_.FindGroup(ToolEntry::kGroup))
        for (const auto& e : tools->Variables)
            if (auto t = ToolEntry::Parse({}, e.value.Value); t && !KeysEqual(t->Category, ToolEntry::kRoot))
                renamed.Add(t->Category, "");
    int order = 0;
    for (Row& r : rows_) {
        std::string name(TrimSpaces(r.Name));
        if (name.empty() || settings_.AddVar(ToolEntry::kFoldersGroup, name, std::to_string(++order)) != 0)
            continue;
        r.Order = order;
        if (std::string* to = renamed.Find(r.Original)) *to = name;
        if (std::string* same = renamed.Find(name); same && same->empty()) *same = name;
    }
    Group* tools = settings_.FindGroup(ToolEntry::kGroup);
    if (!tools) return;
    for (auto& e : tools->Variables) {
        auto t = ToolEntry::Parse(e.value.Name, e.value.Value);
        if (!t || KeysEqual(t->Category, ToolEntry::kRoot)) continue;
        const std::string* to = renamed.Find(t->Category);
        t->Category = to && !to->empty() ? *to : std::string(ToolEntry::kRoot);
        e.value.Value = t->Value();
    }
}

} // namespace vellum
