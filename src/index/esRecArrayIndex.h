#pragma once

#include "index/esRecArrayEntries.h"
#include "model/KeyedCollection.h"

#include <string>

namespace vellum {

class Progress;

// Removes every entry, reporting "Clearing Entry <left>" on every 21st removal.
void ClearWithProgress(std::size_t count, Progress* progress);

// Record key to array position, for every record of a file.
class esRecArrayIndex : public KeyedCollection<esRecArrayEntries> {
public:
    // Throws std::invalid_argument when the key is present already.
    esRecArrayEntries& Add(const std::string& key, std::int32_t position);
    void clear(Progress* progress = nullptr) {
        ClearWithProgress(Count(), progress);
        KeyedCollection::clear();
    }
};

} // namespace vellum
