#pragma once

#include "model/KeyedCollection.h"
#include "template/estlSubrecordTypes.h"

#include <string>
#include <string_view>

namespace vellum {

// A record type that holds text-lookup properties, with the subrecords that hold them.
struct estlRecordType {
    std::string RecordType;
    vellum::estlSubrecordTypes estlSubrecordTypes;
};

// Reverse index of the text lookups: record type, then four-character subrecord name, to the
// property that holds the ID. Answers "which property of this subrecord is a reference" for
// the reference index and the ID change without walking the whole lookup list.
class estlRecordTypes : public KeyedCollection<estlRecordType> {
public:
    void Add(const std::string& recordType, const std::string& subrecordType,
             const std::string& idProperty);

    // The ID property of (record type, subrecord name), nullptr when neither is listed.
    // Only the first four characters of `subrecordType` count.
    const estlSubrecordType* Find(std::string_view recordType, std::string_view subrecordType) const;
    using KeyedCollection<estlRecordType>::Find;
};

} // namespace vellum
