#pragma once

#include "model/Bytes.h"

#include <string>
#include <string_view>

namespace vellum {

struct RecordEntry;

// Which record of another file a record stands for, as the game matches them: the type and the
// ID without regard to letter case; an exterior cell or landscape by its grid whatever its name;
// a response within its topic. Records without an ID (the file header, types the template gives
// no ID) have none.
struct RecordIdentity {
    std::string key;     // for lookups; empty: the record has no identity
    std::string display; // the ID as lists show it

    // `data` is the record's current data.
    static RecordIdentity Of(const RecordEntry& record, ByteSpan data);
};

} // namespace vellum
