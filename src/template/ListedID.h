#pragma once

#include <string>
#include <string_view>

namespace vellum {

// An ID as lists show it and as other records name it. An exterior cell's ID is its name
// followed by its grid as 16 hexadecimal digits (@HexID): it shows as "Balmora (-3, -2)", or
// "Wilderness (x, y)" when the cell has no name, and other records name it by that name.
// Every other ID is shown and named as it is.
struct ListedID {
    std::string caption;
    std::string name;

    static ListedID Of(std::string_view recordType, std::string_view id);
};

} // namespace vellum
