#pragma once

#include "model/KeyedCollection.h"
#include "model/SubHeader.h"

#include <string>

namespace vellum {

class SubHeaders : public KeyedCollection<SubHeader> {
public:
    SubHeader* Add(std::string key) {
        SubHeader h;
        h.Key = key;
        return KeyedCollection<SubHeader>::Add(std::move(key), std::move(h));
    }
};

} // namespace vellum
