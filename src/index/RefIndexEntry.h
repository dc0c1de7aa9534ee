#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellum {

// One reference of a file's reference index (.rdx): the referenced ID (upper case) and where
// the reference sits.
struct RefIndexEntry {
    std::string ID;
    std::int32_t RecordIndex = 0;
    std::int32_t SubrecordIndex = 0; // 1-based when scanned unpacked, 0 from packed bytes
    std::string RecordType;
    std::string SubrecordType;
    std::string PropertyName;
};

// The same entry as views into the reader's buffer, for scans that skip most entries.
struct RefIndexView {
    std::string_view ID;
    std::int32_t RecordIndex = 0;
    std::int32_t SubrecordIndex = 0;
    std::string_view RecordType;
    std::string_view SubrecordType;
    std::string_view PropertyName;

    RefIndexEntry ToEntry() const {
        return {std::string(ID), RecordIndex, SubrecordIndex, std::string(RecordType),
                std::string(SubrecordType), std::string(PropertyName)};
    }
};

} // namespace vellum
