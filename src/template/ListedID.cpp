#include "template/ListedID.h"

#include <cstdint>

namespace vellum {
namespace {

constexpr std::size_t kGridDigits = 16;

bool ReadHex(std::string_view digits, std::int32_t& out) {
    std::uint32_t v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    out = static_cast<std::int32_t>(v);
    return true;
}

} // namespace

ListedID ListedID::Of(std::string_view recordType, std::string_view id) {
    std::int32_t x = 0, y = 0;
    // Interior cells are known by their name alone: only exterior IDs end in the grid.
    if (recordType != "CELL" || id.size() < kGridDigits ||
        !ReadHex(id.substr(id.size() - kGridDigits, 8), x) || !ReadHex(id.substr(id.size() - 8), y))
        return {std::string(id), std::string(id)};
    std::string name(id.substr(0, id.size() - kGridDigits));
    if (name.empty())
        name = "Wilderness";
    return {name + " (" + std::to_string(x) + ", " + std::to_string(y) + ")", name};
}

} // namespace vellum
