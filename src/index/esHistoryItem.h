#pragma once

#include <string>

namespace vellum {

// One visited place of the record editor; an empty key means the visit stopped higher up.
struct esHistoryItem {
    std::string FileKey;
    std::string CatKey;
    std::string RecordKey;
    std::string SubRecordKey;

    bool operator==(const esHistoryItem&) const = default;
};

} // namespace vellum
