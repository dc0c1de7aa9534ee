#pragma once

#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "template/PropertyTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vellum::test {

// The search's fast texts of a subrecord, and the codec's properties as text: the two must agree.
inline std::string FastTexts(PropertyTexts& texts, std::string_view r, std::string_view s, ByteSpan data) {
    std::string out = texts.Decode(r, s, data) ? "" : "failed\n";
    for (const auto& item : texts.Items())
        out += std::string(item.name) + (item.text ? "'=" : "=") + std::string(texts.Value(item)) + "\n";
    return out;
}
inline std::string DecodedTexts(const PropertyCodec& codec, std::string_view r, std::string_view s, ByteSpan data) {
    Properties props;
    std::string out = codec.Decode(r, s, data, props) ? "" : "failed\n";
    for (const auto& e : props)
        out += e.value.Name + (e.value.DataType == PropertyType::Text ? "'=" : "=") + e.value.Text() + "\n";
    return out;
}

// A codec over a format template given as text.
struct TextCodec {
    explicit TextCodec(std::string_view text) { templ.OpenText(text); }
    Config templ;
    PropertyCodec codec{templ};
    PropertyTexts texts{codec};

    void ExpectSameTexts(std::string_view r, std::string_view s, ByteSpan data) {
        EXPECT_EQ(FastTexts(texts, r, s, data), DecodedTexts(codec, r, s, data));
    }
    Properties Decode(std::string_view r, std::string_view s, ByteSpan data,
                      PropertyCodec::DecodeReport* report = nullptr) {
        Properties props;
        EXPECT_TRUE(codec.Decode(r, s, data, props, report));
        return props;
    }
};

} // namespace vellum::test
