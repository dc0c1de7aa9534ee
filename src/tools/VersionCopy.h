#pragma once

#include <string>
#include <string_view>

namespace vellum {

class esfile;

// Takes one file's version of a record, or of one subrecord or property of it, into the plug-in
// being edited. A subrecord is named by its four characters and its place among the record's
// subrecords of that name; a property by the template's name within that subrecord. Where the
// plug-in lacks the record, the whole version is copied first. Each call is one change of the
// target, which is marked changed; false (with a message) when nothing could be copied.
class VersionCopy {
public:
    // The target's record that stands for the source's (same identity), or -1.
    static int Counterpart(const esfile& target, const esfile& source, int record);

    static bool Record(esfile& target, const esfile& source, int record);
    static bool Subrecord(esfile& target, const esfile& source, int record, std::string_view name, int occurrence);
    static bool Property(esfile& target, const esfile& source, int record, std::string_view name, int occurrence,
                         std::string_view property);
};

} // namespace vellum
