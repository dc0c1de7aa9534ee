#pragma once

#include "template/esLookupTypes.h"

#include <string>

namespace vellum {

// One property that holds the ID of another record, with the record types it may name.
struct esTextLookup {
    std::string RecordType;    // upper case
    std::string SubrecordType; // upper case template subrecord type ("NAME_NEXT", "NPDT_12", ...)
    std::string PropertyType;  // the property name as written in the template
    vellum::esLookupTypes esLookupTypes;

    // True when the lookup may name a record of `type`.
    bool Targets(std::string_view type) const { return esLookupTypes.Exists(type); }
};

} // namespace vellum
