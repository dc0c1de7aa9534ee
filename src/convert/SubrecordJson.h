#pragma once

#include "convert/JsonValue.h"
#include "model/Bytes.h"

#include <optional>
#include <string_view>

namespace vellum {

class PropertyCodec;
class ValueNames;
struct Property;
struct SubrecordLayout;

// One subrecord in the text form and back. Decoded by the template it is
//   {"sub": "NAME", "props": {"ID": "sMaxSale"}}
// with numbers as numbers, texts as UTF-8 through the code page, string lists as arrays, byte
// properties and bit fields wider than 8 bytes as hexadecimal. Values the template names go by
// name ("Skill": "Block"), bit fields as the list of their flags' names with a number for bits
// it does not name (["Female", "Essential", 4096]); numbers are taken in their place too. "layout" names the template
// subrecord type where the data's size chose it ("NPDT_12", "DATA_24"); "unterminated" tells
// that the last text has no zero byte after it. Bytes the template does not decode are
//   {"sub": "ZZZZ", "hex": "0a0b"}
// and where the properties cannot give the stored bytes back (junk after a text, a number cut
// short) both are written: the bytes are used as long as the properties are left as exported.
class SubrecordJson {
public:
    SubrecordJson(const PropertyCodec& codec, int codePage) : codec_(codec), codePage_(codePage) {}

    // `name` is the four characters on disk; `first` tells the record's first subrecord.
    JsonValue ToJson(std::string_view recordType, std::string_view name, ByteSpan data, bool first) const;
    // The subrecord's data; ConvertError when the JSON does not describe one.
    Bytes FromJson(std::string_view recordType, const JsonValue& sub, bool first) const;

    // A property's value as the text form writes it; by name where `names` name it.
    JsonValue ValueOf(const Property& p, const ValueNames* names = nullptr) const;

private:
    // The value by the names of its list; nothing where they cannot give it back exactly.
    std::optional<JsonValue> NamedValue(const Property& p, const ValueNames& names) const;
    // The data of properties `props` by the group's layout; throws ConvertError.
    Bytes Build(std::string_view recordType, const SubrecordLayout& layout, const JsonValue& props,
                bool unterminated) const;
    // `props` of `layout` decoded from `data`; false when the template cannot decode it.
    bool Decode(std::string_view recordType, const SubrecordLayout& layout, std::string_view subType, ByteSpan data,
                JsonValue& props, bool& unterminated) const;

    const PropertyCodec& codec_;
    int codePage_;
};

} // namespace vellum
