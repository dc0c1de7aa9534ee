#include "index/esRecIDIndex.h"

namespace vellum {

void esRecIDIndex::ChangeID(const std::string& oldID, const std::string& newID) {
    const esRecIDEntry* old = Find(oldID);
    if (!old) return;
    esRecIDEntry moved = *old;
    if (KeysEqual(oldID, newID)) {
        // Only the letter case changes: the key must take the new spelling.
        Remove(oldID);
        KeyedCollection::Add(newID, std::move(moved));
        return;
    }
    KeyedCollection::Add(newID, moved);
    Remove(oldID);
}

} // namespace vellum
