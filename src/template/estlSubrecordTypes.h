#pragma once

#include "model/KeyedCollection.h"

#include <string>

namespace vellum {

// The property of one subrecord type that holds a referenced ID.
struct estlSubrecordType {
    std::string SubrecordType; // four characters
    std::string IDProperty;
};

// Keyed by the four-character subrecord name; the first property entered for a name stays.
class estlSubrecordTypes : public KeyedCollection<estlSubrecordType> {
public:
    estlSubrecordType* Add(const std::string& subrecordType, const std::string& idProperty) {
        std::string name = subrecordType.substr(0, 4);
        return KeyedCollection<estlSubrecordType>::Add(name, estlSubrecordType{name, idProperty});
    }
};

} // namespace vellum
