#pragma once

#include "model/KeyedCollection.h"

#include <string>

namespace vellum {

// One record type that a text-lookup property may name.
struct esLookupType {
    std::string Type;
};

// The record types a text-lookup property may name, in template order.
class esLookupTypes : public KeyedCollection<esLookupType> {
public:
    // nullptr when the type is listed already.
    esLookupType* Add(const std::string& type) {
        return KeyedCollection<esLookupType>::Add(type, esLookupType{type});
    }
};

} // namespace vellum
