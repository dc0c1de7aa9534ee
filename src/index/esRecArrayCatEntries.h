#pragma once

#include "index/esRecArrayEntries.h"
#include "model/KeyedCollection.h"

#include <stdexcept>
#include <string>

namespace vellum {

// The records of one category, keyed by record key, in the order they were indexed.
class esRecArrayCatEntries : public KeyedCollection<esRecArrayEntries> {
public:
    // Throws std::invalid_argument when the key is present already.
    esRecArrayEntries& Add(std::int32_t position, const std::string& key) {
        esRecArrayEntries* e = KeyedCollection::Add(key, esRecArrayEntries{position});
        if (!e) throw std::invalid_argument("Duplicate record key: " + key);
        return *e;
    }
};

} // namespace vellum
