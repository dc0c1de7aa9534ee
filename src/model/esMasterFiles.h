#pragma once

#include "model/KeyedCollection.h"
#include "model/esMasterFile.h"

#include <string>

namespace vellum {

// The master files of a file, keyed by name, in header order.
class esMasterFiles : public KeyedCollection<esMasterFile> {
public:
    // nullptr when the name is present already.
    esMasterFile* Add(const std::string& name, std::int64_t size = 0) {
        return KeyedCollection::Add(name, esMasterFile{name, size});
    }
};

} // namespace vellum
