#include "tools/ToolsMenu.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "template/Config.h"
#include "tools/ToolEntry.h"

#include <algorithm>

namespace vellum {

ToolsMenu ToolsMenu::Build(const Config& settings) {
    ToolsMenu menu;
    std::vector<std::pair<std::string, double>> ordered;
    if (const Group* folders = settings.FindGroup(ToolEntry::kFoldersGroup))
        for (const auto& e : folders->Variables) ordered.emplace_back(e.value.Name, Val(e.value.Value));
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });

    KeyedCollection<std::size_t> slot; // category → position in Categories + 1
    for (const auto& [name, order] : ordered)
        if (!KeysEqual(name, ToolEntry::kRoot) && slot.Add(name, menu.Categories.size() + 1))
            menu.Categories.push_back({name, {}});

    const Group* tools = settings.FindGroup(ToolEntry::kGroup);
    if (!tools) return {};
    for (const auto& e : tools->Variables) {
        Item item{e.value.Name, e.value.Value};
        auto tool = ToolEntry::Parse(e.value.Name, e.value.Value);
        if (!tool || KeysEqual(tool->Category, ToolEntry::kRoot)) {
            menu.Root.push_back(std::move(item));
            continue;
        }
        std::size_t* at = slot.Find(tool->Category);
        if (!at) {
            at = slot.Add(tool->Category, menu.Categories.size() + 1);
            menu.Categories.push_back({tool->Category, {}});
        }
        menu.Categories[*at - 1].Items.push_back(std::move(item));
    }

    std::erase_if(menu.Categories, [](const Submenu& s) { return s.Items.empty(); });
    for (std::size_t c = kMaxCategories; c < menu.Categories.size(); ++c)
        for (Item& i : menu.Categories[c].Items) menu.Root.push_back(std::move(i));
    if (menu.Categories.size() > kMaxCategories) menu.Categories.resize(kMaxCategories);
    return menu;
}

} // namespace vellum
