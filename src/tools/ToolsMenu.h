#pragma once

#include <string>
#include <vector>

namespace vellum {

class Config;

// The tool part of the Tools menu: the top-level list ("Root") and up to 21 category
// submenus, 22 lists in all, built from the settings groups "Tools" and "ToolFolders".
struct ToolsMenu {
    static constexpr std::size_t kMaxCategories = 21;

    struct Item {
        std::string Caption; // the tool's name
        std::string Value;   // the settings value that RunTool takes
    };
    struct Submenu {
        std::string Caption; // the category
        std::vector<Item> Items;
    };

    std::vector<Item> Root;
    std::vector<Submenu> Categories; // only categories holding tools, in menu order

    // Categories are ordered by their "ToolFolders" number (ties keep the group's order);
    // categories without an entry follow in the order tools name them. Tools of categories
    // beyond the 21st, and tools whose value cannot be read, join the top-level list.
    static ToolsMenu Build(const Config& settings);
};

} // namespace vellum
