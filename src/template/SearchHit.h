#pragma once

#include <string>

namespace vellum {

// One row of "Find All Instances", or the entry "Find" stepped to: the keys the record editor
// needs to show the entry, and what the user reads.
struct SearchHit {
    std::string FileKey;
    std::string RecordKey;
    std::string SubRecordKey; // empty for a record row
    std::string Property;     // empty for record and subrecord rows
    std::string FileTitle;
    std::string RecordType;
    std::string ID;
    std::string Value; // the property's text for a property row

    // Tab-separated: file key, record key, subrecord key, property, record type, ID, value
    // (tabs and line breaks in the value shown as blanks).
    std::string Row() const;

    bool SamePlace(const SearchHit& o) const {
        return FileKey == o.FileKey && RecordKey == o.RecordKey && SubRecordKey == o.SubRecordKey &&
               Property == o.Property;
    }
};

} // namespace vellum
