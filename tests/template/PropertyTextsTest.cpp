#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "template/PropertyTexts.h"

#include "TestRecords.h"
#include "TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;

namespace {

// Checks one subrecord: the fast texts equal the codec's decoded properties rendered as text.
void ExpectSame(const PropertyCodec& codec, PropertyTexts& texts, std::string_view type,
                std::string_view subType, ByteSpan data, const std::string& where) {
    Properties props;
    bool ok = codec.Decode(type, subType, data, props);
    EXPECT_EQ(texts.Decode(type, subType, data), ok) << where;
    ASSERT_EQ(texts.Items().size(), props.Count()) << where;
    std::size_t i = 0;
    for (const auto& e : props) {
        const auto& item = texts.Items()[i++];
        ASSERT_EQ(item.name, e.value.Name) << where;
        ASSERT_EQ(texts.Value(item), e.value.Text()) << where << " " << e.value.Name;
        ASSERT_EQ(item.text, e.value.DataType == PropertyType::Text) << where << " " << e.value.Name;
    }
}

} // namespace

// Every real subrecord is compared in CodecRoundTrip.
TEST(PropertyTexts, OddLayoutsAndShortData) {
    PromptRecorder prompt;
    Config t;
    t.OpenText("[R.A]\nx = SHORT\ny = LONG, 3\nx = BYTE, 2\ns = STRING, 4\nz = ZWORD\nl = STRINGLIST\n"
               "[R.B]\nf = SINGLE\nd = DOUBLE\nq = LONG64\n"
               "[R.C]\nUnknown Data = BYTE, 1\n"
               "[R.D]\nbroken =\n"
               "[R.E]\nname = STRING\nflags = BITFIELD, 2\n");
    PropertyCodec codec(t);
    PropertyTexts texts(codec);
    const std::uint8_t a[] = {0xff, 0xff, 1, 2, 3, 'a', 'b', ' ', 0, 'x', 0, 'y', 0, 0};
    ExpectSame(codec, texts, "R", "A", a, "duplicate names, texts, list");
    ExpectSame(codec, texts, "R", "A", ByteSpan(a, 3), "a LONG cut short");
    float f = -1.5f;
    double d = 0.1;
    std::uint8_t b[20];
    std::memcpy(b, &f, 4);
    std::memcpy(b + 4, &d, 8);
    std::memset(b + 12, 0xfe, 8);
    ExpectSame(codec, texts, "R", "B", b, "numbers");
    ExpectSame(codec, texts, "R", "B", ByteSpan(b, 6), "a DOUBLE cut short");
    ExpectSame(codec, texts, "R", "C", a, "a line named like the rest");
    ExpectSame(codec, texts, "R", "D", a, "a line without a type");
    ExpectSame(codec, texts, "R", "E", a, "a name, flags and trailing bytes");
    ExpectSame(codec, texts, "R", "Z", a, "no group");
    ExpectSame(codec, texts, "R", "Z", ByteSpan(), "no group, no bytes");
    EXPECT_TRUE(texts.HasString("R", "E"));
    EXPECT_FALSE(texts.HasString("R", "B"));
    EXPECT_FALSE(texts.HasString("R", "Z"));

    t.OpenText("[R.B]\nn = STRING\n"); // the template changed: no stale layout is used
    ExpectSame(codec, texts, "R", "B", a, "after a template change");
}
