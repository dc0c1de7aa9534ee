#pragma once

#include "model/Bytes.h"
#include "model/KeyedCollection.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace vellum {

// Type codes of decoded properties; every view that shows or edits properties switches on them.
enum class PropertyType {
    Text = 0,     // STRING, STRINGLIST
    Short = 1,    // SHORT, and SIGNED of Size 1..4 bytes
    Long = 2,     // LONG of 1..4 bytes
    Long64 = 3,   // LONG64, all 8 bytes kept
    Float = 4,    // SINGLE (Size 4) or DOUBLE (Size 8)
    Bytes = 6,    // BYTE, and raw data without a template
    BitField = 7, // BITFIELD
};

// Text is 8-bit, one character per byte; integers are held as int64, floats as double.
using PropertyValue = std::variant<std::string, std::int64_t, double, Bytes>;

// One decoded property of a subrecord. It knows the span of bytes it was decoded from, so the
// form and the byte grid can point at the same bytes.
struct Property {
    std::string Name;        // key in the collection
    std::string Description; // the template's property name, the caption in the editor
    PropertyType DataType = PropertyType::Bytes;
    int Size = 0; // declared or derived byte count (0 for a zero-terminated text)
    PropertyValue Value;
    bool IsStringList = false;
    bool TextLookup = false; // holds the ID of another record
    bool FileLookup = false; // holds a file name
    std::string RecordType;  // record type of the holder, set with TextLookup

    // Where the value lay in the subrecord data when decoded.
    std::size_t Offset = 0;
    std::size_t StoredLength = 0; // bytes the value took, terminator included
    bool Terminated = true;       // a zero-terminated text had its terminator stored
    bool Dirty = false;           // changed since it was decoded
    // The stored bytes, kept only when the value cannot reproduce them (spaces or bytes after
    // the end of a text, a number cut short by the end of the data), so that an unchanged
    // property is written back exactly as it was read.
    Bytes Original;

    void SetValue(PropertyValue v) {
        Value = std::move(v);
        Dirty = true;
    }
    std::string Text() const;   // text value; numbers and bytes rendered as text
    std::int64_t Int() const;   // integer value (0 for other kinds)
    double Real() const;        // numeric value as double
    const Bytes& Raw() const;   // byte value (empty for other kinds)
};

using Properties = KeyedCollection<Property>;

} // namespace vellum
