#pragma once

#include "model/Property.h"
#include "template/PropertyCodec.h"
#include "template/SubrecordLayout.h"

namespace vellum {

// Decodes the property lines of one subrecord in turn, advancing `pos` over the data by the
// decoding rules of the format template. Numbers cut short by the end of the data are reported
// as cast failures; the stored bytes that a value cannot give back are kept in the property.
class PropertyDecoder {
public:
    PropertyDecoder(ByteSpan data, PropertyCodec::DecodeReport& report)
        : data_(data), report_(report) {}

    std::size_t pos = 0;

    // Fills `p` from the line at `pos`; a line of unknown type leaves both unchanged.
    void Fill(const SubrecordLayout::Line& line, Property& p);

private:
    std::size_t Left() const { return data_.size() - pos; }
    void Number(Property& p, PropertyType type, int size);
    void Raw(Property& p, PropertyType type, int declared);
    void Text(Property& p, int declared, bool list);
    void KeepOriginalIfLost(Property& p) const;

    ByteSpan data_;
    PropertyCodec::DecodeReport& report_;
};

} // namespace vellum
