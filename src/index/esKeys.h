#pragma once

#include "index/esKey.h"
#include "model/KeyedCollection.h"

#include <string>

namespace vellum {

// Records whose index entries RebuildIndices drops, keyed by record key.
class esKeys : public KeyedCollection<esKey> {
public:
    esKey* Add(const std::string& key, const std::string& id, std::int32_t index) {
        return KeyedCollection::Add(key, esKey{key, id, index});
    }
};

} // namespace vellum
