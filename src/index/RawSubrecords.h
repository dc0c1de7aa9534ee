#pragma once

#include "model/Bytes.h"
#include "model/ByteCast.h"
#include "model/KeyedCollection.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellum {

// One subrecord read straight from a packed record's data.
struct RawSubrecord {
    std::size_t Index = 0;  // 0-based position in the record
    std::size_t Offset = 0; // of its header in the record data
    std::string_view Name;  // four characters as stored
    ByteSpan Data;
};

// Calls visit(RawSubrecord) for each whole subrecord of `data` in order; stops at the first
// header that does not fit (a damaged record yields what lies before the damage) or when
// visit returns false.
template <class Visit>
void ForEachRawSubrecord(ByteSpan data, Visit visit) {
    std::size_t p = 0;
    for (std::size_t index = 0; data.size() - p >= 8; ++index) {
        auto size = static_cast<std::int32_t>(cast::LoadU32(data.data() + p + 4));
        if (size < 0 || static_cast<std::size_t>(size) > data.size() - p - 8) return;
        RawSubrecord s{index, p, std::string_view(reinterpret_cast<const char*>(data.data() + p), 4),
                       data.subspan(p + 8, static_cast<std::size_t>(size))};
        if (!visit(s)) return;
        p += 8 + static_cast<std::size_t>(size);
    }
}

// The key unpacking gives `s` in `record`: its name, followed by its position when an earlier
// subrecord has that name.
inline std::string RawSubrecordKey(ByteSpan record, const RawSubrecord& s) {
    bool repeated = false;
    ForEachRawSubrecord(record, [&](const RawSubrecord& e) {
        if (e.Offset >= s.Offset) return false;
        repeated = KeysEqual(e.Name, s.Name);
        return !repeated;
    });
    return repeated ? std::string(s.Name) + std::to_string(s.Index) : std::string(s.Name);
}

} // namespace vellum
