#pragma once

#include "model/KeyedCollection.h"
#include "model/Property.h"
#include "template/ValueNames.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vellum::ui {

// Kinds of form elements (there is no 12).
enum class FormEntryKind {
    MainHeading = 0,
    MarkedActions = 1,
    RecordHeading = 2,
    SubrecordHeading = 3,
    TextField = 4,
    SingleField = 5,
    DoubleField = 6,
    LongField = 7,
    Long64Field = 8,
    ShortField = 9,
    ByteArrayField = 10,
    TextLookupField = 11,
    ByteField = 13,
    PreviousPage = 14,
    NextPage = 15,
    ShowChildren = 16,
    ShowParent = 17,
    FileLookupField = 18,
    ParentLookupField = 19,
    BitField = 20,
};

// One element of the property form and, for data fields, where its value lives and what it
// held when drawn. Edits stay here until they are committed into the record.
struct esLLFormEntry {
    FormEntryKind FormEntryType = FormEntryKind::MainHeading;
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
    // The template's names of the values (a drop-down) or of the bits (check boxes).
    std::shared_ptr<const ValueNames> Names;

    void SetByte(std::size_t index, std::uint8_t value) {
        if (auto* bytes = std::get_if<Bytes>(&Data); bytes && index < bytes->size()) {
            (*bytes)[index] = value;
            Changed = true;
        }
    }
};

using esLLFormEntries = KeyedCollection<esLLFormEntry>;

} // namespace vellum::ui
