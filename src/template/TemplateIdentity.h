#pragma once

namespace vellum {

class Config;

// Makes the subrecord that carries each record type's ID required in the record: for every
// record-type group with a PropID, the group "<type>.<subrecord type of the first pair>" gets
// the instruction Requirement = 2, the group being added when missing. The configuration
// editor runs this before it saves the format template.
void RequireIdentitySubrecords(Config& templ);

} // namespace vellum
