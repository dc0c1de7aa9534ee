#pragma once

#include <string_view>

namespace vellum {

class PropertyCodec;
class Subrecords;

// Brings every count of a record's subrecords that the template declares (a group with
// "@Counts = SUB") up to the number of SUB subrecords that follow it in the record: the number of
// entries of a levelled list, the temporary references of a cell. Counts that are right are
// left as they were read. True when one changed.
bool UpdateSubrecordCounts(const PropertyCodec& codec, std::string_view recordType, Subrecords& subrecords);

} // namespace vellum
