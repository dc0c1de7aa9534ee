#include "index/esRecArrayIndex.h"

#include "model/Progress.h"

#include <stdexcept>

namespace vellum {

void ClearWithProgress(std::size_t count, Progress* progress) {
    // The entries go from the last to the first; only the reports are visible, so they are
    // produced without taking the entries out one by one.
    if (!progress) return;
    for (std::size_t removed = 21; removed <= count; removed += 21)
        progress->Waiting(-1, "Clearing Entry " + std::to_string(count - removed));
}

esRecArrayEntries& esRecArrayIndex::Add(const std::string& key, std::int32_t position) {
    esRecArrayEntries* e = KeyedCollection::Add(key, esRecArrayEntries{position});
    if (!e) throw std::invalid_argument("Duplicate record key: " + key);
    return *e;
}

} // namespace vellum
