#pragma once

#include <string>

namespace vellum {

class esfile;

// Gives record `index` a new ID: writes it into the property the record type keeps its ID in
// (the type's single PropID pair), moves the ID index entry and remembers the old ID in
// PreviousID. False, changing nothing, when the type has no single-part ID or the new ID is
// taken by another record of the type.
bool ChangeRecordID(esfile& file, int index, const std::string& newID);

} // namespace vellum
