#pragma once

#include "index/MentionKind.h"

#include <cstdint>
#include <string>

namespace vellum {

// Actions proposed for a relative.
enum RelativeAction : std::int32_t {
    kNoAction = -1,
    kDelete = 0,
    kCut = 1,
    kCopy = 2,
    kClear = 3, // the referring property is emptied instead
};

enum RelativeKind : std::int32_t { kAncestor = 0, kDescendant = 1 };

// One entry of a relatives scan: a record (SubRecordKey empty) or one subrecord of it.
struct esRelative {
    bool RecordSubHeadersUnPacked = false;
    bool SubrecordPacked = false;
    bool RecordPacked = false; // packing state before the scan touched the record
    std::string ID;
    std::int32_t RecordIndex = 0;
    std::int32_t Action = kNoAction;
    std::string SubrecordType;
    std::string RecordType;
    std::int32_t Generation = 0;
    std::string RelatedFileKey;
    std::string RelatedRecordKey;
    std::string RelatedSubRecordKey;
    std::int32_t RelativeType = kAncestor;
    std::string FileKey;
    std::string SubRecordKey;
    std::string RecordKey;
    std::string Key;
    MentionKind Mention = MentionKind::None; // found in text that names the ID, not a reference

    bool IsRecord() const { return SubRecordKey.empty(); }

    // FileKey "." RecordKey, followed by "." SubRecordKey for a subrecord.
    static std::string MakeKey(std::string_view fileKey, std::string_view recordKey,
                               std::string_view subRecordKey = {}) {
        std::string k;
        k.reserve(fileKey.size() + recordKey.size() + subRecordKey.size() + 2);
        k.append(fileKey).append(1, '.').append(recordKey);
        if (!subRecordKey.empty()) k.append(1, '.').append(subRecordKey);
        return k;
    }
};

} // namespace vellum
