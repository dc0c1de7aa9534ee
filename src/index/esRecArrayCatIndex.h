#pragma once

#include "index/esRecArrayCatIndexEntries.h"
#include "index/esRecArrayIndex.h"
#include "model/KeyedCollection.h"

#include <string>
#include <string_view>

namespace vellum {

// Category key (record type) to category entry, in the order the categories were met.
class esRecArrayCatIndex : public KeyedCollection<esRecArrayCatIndexEntries> {
public:
    // A new empty category; nullptr (nothing changes) when it is present already.
    esRecArrayCatIndexEntries* Add(const std::string& category) {
        return KeyedCollection::Add(category);
    }
    // The category, or nullptr when absent.
    esRecArrayCatIndexEntries* Item(std::string_view category) { return Find(category); }
    const esRecArrayCatIndexEntries* Item(std::string_view category) const { return Find(category); }
    using KeyedCollection::Item;
    bool CatExists(std::string_view category) const { return Exists(category); }
    void clear(Progress* progress = nullptr) {
        ClearWithProgress(Count(), progress);
        KeyedCollection::clear();
    }
};

} // namespace vellum
