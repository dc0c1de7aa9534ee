#pragma once

#include "model/Bytes.h"
#include "model/Property.h"

#include <cstdint>
#include <string>

namespace vellum {

// One subrecord of an unpacked record. While Packed, Data is current and Properties empty;
// decoding fills Properties and clears Packed, but Data keeps the bytes read, so that a
// subrecord whose properties were not changed is written back exactly as it was.
struct Subrecord {
    // Marks of the transfer of marked entries.
    int CopyLevel = 0;
    bool Deleted = false;
    bool CopyMark = false;

    int Requirement = 0;  // template REQUIREMENT of this subrecord type
    int GroupNumber = 0;  // repeating group it belongs to, 0 for the main part
    std::string GroupLabel;
    bool Packed = true;
    vellum::Properties Properties;
    Bytes Data;
    std::string Name;     // template subrecord type; the first four characters are the name on disk
    std::int32_t Offset = 0; // of its header in the record data, 0-based
    std::int32_t Size = 0;
    std::string Key;

    // Decoded, and a property changed since: Data no longer tells the contents.
    bool Edited() const {
        if (Packed) return false;
        for (const auto& e : Properties)
            if (e.value.Dirty) return true;
        return false;
    }

    void SetByte(std::size_t position, std::uint8_t value) {
        if (position < Data.size()) Data[position] = value;
    }
};

} // namespace vellum
