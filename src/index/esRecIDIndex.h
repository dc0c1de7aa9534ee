#pragma once

#include "index/esRecIDEntry.h"
#include "model/KeyedCollection.h"

#include <string>

namespace vellum {

// The IDs of one category. The record indexed first keeps an ID; IDs that differ only in
// letter case are the same ID.
class esRecIDIndex : public KeyedCollection<esRecIDEntry> {
public:
    // Nothing happens when the ID is present already.
    void Add(const std::string& id, std::int32_t position, const std::string& description = {},
             const std::string& recordType = {}) {
        KeyedCollection::Add(id, esRecIDEntry{position, description, recordType});
    }
    // Moves the entry of `oldID` to `newID`; nothing when `oldID` is absent.
    void ChangeID(const std::string& oldID, const std::string& newID);
};

} // namespace vellum
