#include "tools/RecordIdentity.h"

#include "index/RawSubrecords.h"
#include "model/KeyedCollection.h"
#include "model/RecordEntry.h"

#include <cstring>

namespace vellum {

namespace {

// The first subrecord `name` of the data with at least `size` bytes.
ByteSpan First(ByteSpan data, std::string_view name, std::size_t size) {
    ByteSpan found;
    ForEachRawSubrecord(data, [&](const RawSubrecord& s) {
        if (s.Name != name || s.Data.size() < size) return true;
        found = s.Data;
        return false;
    });
    return found;
}

std::int32_t Int32(ByteSpan b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

std::string Grid(std::int32_t x, std::int32_t y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

std::string Key(std::string_view type, std::string_view id) { return std::string(type) + '\0' + FoldKey(id); }

} // namespace

RecordIdentity RecordIdentity::Of(const RecordEntry& r, ByteSpan data) {
    if (r.Name == "TES3") return {};
    if (r.Name == "CELL") {
        // Flag 1 of the cell data marks an interior, named by its NAME; an exterior is its grid.
        const ByteSpan cell = First(data, "DATA", 12);
        if (!cell.empty() && !(cell[0] & 1)) {
            const ByteSpan name = First(data, "NAME", 0);
            std::string text(reinterpret_cast<const char*>(name.data()), name.size());
            text = text.substr(0, text.find('\0'));
            const std::string grid = Grid(Int32(cell, 4), Int32(cell, 8));
            return {Key("CELL", grid), (text.empty() ? std::string("Wilderness") : text) + " " + grid};
        }
    } else if (r.Name == "LAND") {
        const ByteSpan grid = First(data, "INTV", 8);
        if (!grid.empty()) {
            const std::string g = Grid(Int32(grid, 0), Int32(grid, 4));
            return {Key("LAND", g), g};
        }
    }
    if (r.ID.empty()) return {};
    if (r.Name == "INFO") return {Key("INFO", r.ParentID.str() + '\0' + r.ID), r.ID};
    return {Key(r.Name, r.ID), r.ID};
}

} // namespace vellum
