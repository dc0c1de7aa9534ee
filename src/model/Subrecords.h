#pragma once

#include "model/KeyedCollection.h"
#include "model/Subrecord.h"

#include <string>
#include <vector>

namespace vellum {

// A record's subrecords in the order of its data; that order is the order they are packed in.
class Subrecords : public KeyedCollection<Subrecord> {
public:
    // One label per subrecord group found when the record was unpacked; 0 is the main part.
    std::vector<std::string> GroupList{std::string{}};

    // A new empty subrecord stored under `key`, with its Key set; nullptr when the key is taken.
    Subrecord* Add(std::string key) {
        Subrecord s;
        s.Key = key;
        return KeyedCollection<Subrecord>::Add(std::move(key), std::move(s));
    }
};

} // namespace vellum
