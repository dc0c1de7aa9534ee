#pragma once

#include "model/KeyedCollection.h"

#include <cstdint>
#include <string>

namespace vellum {

struct esRelIDEntry {
    std::string ID;
    std::int32_t IndexNumber = 0; // 1-based position in esRelatives of the first entry with ID
};

// Hashed set of the IDs of one generation, matched against every reference index entry.
class esRelIDIndex : public KeyedCollection<esRelIDEntry> {
public:
    // Adds only when the ID is absent.
    void Add(const std::string& id, std::int32_t position) {
        KeyedCollection<esRelIDEntry>::Add(id, esRelIDEntry{id, position});
    }
};

} // namespace vellum
