#pragma once

#include "model/KeyedCollection.h"
#include "model/Property.h"

#include <cstdint>
#include <string>

namespace vellum::ui {

// Kinds of form elements (there is no 12).
enum FormEntryType : int {
    kMainHeading = 0,
    kMarkedActions = 1,
    kRecordHeading = 2,
    kSubrecordHeading = 3,
    kTextField = 4,
    kSingleField = 5,
    kDoubleField = 6,
    kLongField = 7,
    kLong64Field = 8,
    kShortField = 9,
    kByteArrayField = 10,
    kTextLookupField = 11,
    kByteField = 13,
    kPreviousPage = 14,
    kNextPage = 15,
    kShowChildren = 16,
    kShowParent = 17,
    kFileLookupField = 18,
    kParentLookupField = 19,
    kBitField = 20,
};

// One element of the property form and, for data fields, where its value lives and what it
// held when drawn. Edits stay here until they are committed into the record.
struct esLLFormEntry {
    int FormEntryType = kMainHeading;
    std::string Caption;
    float ControlHeight = 0;
    long MaxChars = 0; // 0: no limit
    std::string RecordKey, SubRecordKey, PropertyName;
    std::string RecordType, SubrecordType;
    PropertyValue Data, OldData;
    bool IsData = false;
    bool Changed = false;
    bool IDEntry = false;
    std::string OldID;
    long GroupNumber = 0;
    bool RecPacked = false, SubRecPacked = false;
    // For the drawing: the @HTML background of a book text, the @FILELOOKUP folder and filter,
    // the byte count of a bit field.
    std::string Html, LookupFolder, LookupFilter;
    int Size = 0;
    // A parent-lookup field: the parent's record type (its ID is the value).
    std::string ParentType;

    void SetByte(std::size_t index, std::uint8_t value) {
        if (auto* bytes = std::get_if<Bytes>(&Data); bytes && index < bytes->size()) {
            (*bytes)[index] = value;
            Changed = true;
        }
    }
};

using esLLFormEntries = KeyedCollection<esLLFormEntry>;

} // namespace vellum::ui
