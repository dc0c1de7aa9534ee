#include "convert/ConvertError.h"
#include "convert/JsonReader.h"
#include "convert/JsonWriter.h"
#include "convert/SubrecordJson.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellum::test {
namespace {

const char* const kTemplate = R"([TEST]
PropID = NAME:ID

[TEST.NAME]
ID = STRING

[TEST.FIXD]
Name = STRING,8
Count = LONG,2
Level = SHORT
Big = LONG64
Ratio = SINGLE
Exact = DOUBLE
Flags = BITFIELD,2
Raw = BYTE,3

[TEST.LIST]
Vars = STRINGLIST

[TEST.WIDE]
Flags = BITFIELD

[TEST.REAL]
Value = SINGLE

[TEST.ENUM]
Skill = SIGNED,1,Skill
Kind = LONG,4,Skill
Flags = BITFIELD,2,Light
Type = STRING,1,Condition
Count = SHORT,2,Skill

[@VALUES.Skill]
-1 = None
0 = Block
1 = Armorer
2 = block

[@VALUES.Condition]
1 = Function
A = Not Race

[@FLAGS.Light]
0x0001 = Dynamic
0x0004 = Fire
)";

// TEST.ENUM's bytes.
Bytes Enum(std::int8_t skill, std::uint32_t kind, std::uint16_t flags, char type, std::int16_t count) {
    return Concat({Bytes{static_cast<std::uint8_t>(skill)}, Int32(static_cast<std::int32_t>(kind)),
                   Bytes{static_cast<std::uint8_t>(flags), static_cast<std::uint8_t>(flags >> 8),
                         static_cast<std::uint8_t>(type)},
                   Bytes{static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)}});
}

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Fixd(std::string_view name8, std::int16_t level) {
    Bytes b(name8.begin(), name8.end());
    auto put = [&b](const void* p, std::size_t n) {
        const auto* c = static_cast<const std::uint8_t*>(p);
        b.insert(b.end(), c, c + n);
    };
    const std::uint16_t count = 0xFFFF;
    const std::int64_t big = std::int64_t{1} << 40;
    const float ratio = 0.3f;
    const double exact = 0.1;
    put(&count, 2);
    put(&level, 2);
    put(&big, 8);
    put(&ratio, 4);
    put(&exact, 8);
    return Concat({b, Bytes{0x02, 0x01, 0x0a, 0x0b, 0x0c}});
}

class SubrecordJsonTest : public ::testing::Test {
protected:
    SubrecordJsonTest() {
        templ.OpenText(kTemplate);
        codec = std::make_unique<PropertyCodec>(templ);
    }
    std::string ToText(std::string_view name, const Bytes& data, int codePage = 1252) {
        std::string out;
        JsonWriter::Write(SubrecordJson(*codec, codePage).ToJson("TEST", name, data, false), out);
        return out;
    }
    Bytes FromText(std::string_view text, int codePage = 1252) {
        JsonReader r(text);
        return SubrecordJson(*codec, codePage).FromJson("TEST", r.ReadValue(), false);
    }

    Config templ;
    std::unique_ptr<PropertyCodec> codec;
};

TEST_F(SubrecordJsonTest, BytesBecomeNamedPropertiesAndComeBackTheSame) {
    float nan = 0;
    const std::uint32_t payload = 0x7FC00001;
    std::memcpy(&nan, &payload, 4);
    Bytes nanBytes(4);
    std::memcpy(nanBytes.data(), &nan, 4);
    const struct {
        std::string name;
        Bytes data;
        int codePage;
        std::string json;
    } cases[] = {
        {"NAME", B({"abc\0", 4}), 1252, R"({"sub": "NAME", "props": {"ID": "abc"}})"},
        {"NAME", B("abc"), 1252, R"({"sub": "NAME", "props": {"ID": "abc"}, "unterminated": true})"},
        {"NAME", B({"ab \0", 4}), 1252, R"({"sub": "NAME", "props": {"ID": "ab"}, "hex": "61622000"})"},
        {"NAME", B({"\xC0\xE9\"\\\0", 5}), 1252, R"({"sub": "NAME", "props": {"ID": "Àé\"\\"}})"},
        {"NAME", B({"\xC0\xE9\0", 3}), 1251, R"({"sub": "NAME", "props": {"ID": "Ай"}})"},
        {"FIXD", Fixd({"abc\0\0\0\0\0", 8}, -2), 1252,
         R"({"sub": "FIXD", "props": {"Name": "abc", "Count": 65535, "Level": -2, "Big": 1099511627776, )"
         R"("Ratio": 0.3, "Exact": 0.1, "Flags": 258, "Raw": "0a0b0c"}})"},
        {"FIXD", Concat({B({"ab\0junk", 8}), Bytes{1, 0}}), 1252,
         R"({"sub": "FIXD", "props": {"Name": "ab", "Count": 1}, "hex": "6162006a756e6b000100"})"},
        {"FIXD", Concat({B({"abcdefgh", 8}), Bytes{1}}), 1252,
         R"({"sub": "FIXD", "props": {"Name": "abcdefgh", "Count": 0}, "hex": "616263646566676801"})"},
        {"FIXD", Concat({Fixd({"x\0\0\0\0\0\0\0", 8}, 7), Bytes{9, 9}}), 1252,
         R"({"sub": "FIXD", "props": {"Name": "x", "Count": 65535, "Level": 7, "Big": 1099511627776, )"
         R"("Ratio": 0.3, "Exact": 0.1, "Flags": 258, "Raw": "0a0b0c", "Unknown Data": "0909"}})"},
        {"LIST", B({"a\0\0b\0", 5}), 1252, R"({"sub": "LIST", "props": {"Vars": ["a", "", "b"]}})"},
        {"LIST", B({"a\0b", 3}), 1252, R"({"sub": "LIST", "props": {"Vars": ["a", "b"]}, "unterminated": true})"},
        {"WIDE", Bytes(9, 0xF0), 1252, R"({"sub": "WIDE", "props": {"Flags": "f0f0f0f0f0f0f0f0f0"}})"},
        {"REAL", nanBytes, 1252, R"({"sub": "REAL", "props": {"Value": "NaN"}, "hex": "0100c07f"})"},
        {"REAL", Bytes{0, 0, 0x80, 0xFF}, 1252, R"({"sub": "REAL", "props": {"Value": "-Infinity"}})"},
        {"ZZZZ", Bytes{1, 2, 0xFF}, 1252, R"({"sub": "ZZZZ", "hex": "0102ff"})"},
        // Named values and flags; a value is named only where the name leads back to it (2 shares
        // its name with 0, "a" is not the key "A"), bits without a name stay a number.
        {"ENUM", Enum(-1, 0xFFFFFFFF, 0x1005, 'A', 2), 1252,
         R"({"sub": "ENUM", "props": {"Skill": "None", "Kind": "None", "Flags": ["Dynamic", "Fire", 4096], )"
         R"("Type": "Not Race", "Count": 2}})"},
        {"ENUM", Enum(5, 1, 0, 'a', -1), 1252,
         R"({"sub": "ENUM", "props": {"Skill": 5, "Kind": "Armorer", "Flags": [], "Type": "a", "Count": "None"}})"},
        {"name", B({"q\0", 2}), 1252, R"({"sub": "name", "props": {"ID": "q"}})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(ToText(c.name, c.data, c.codePage), c.json);
        EXPECT_EQ(FromText(c.json, c.codePage), c.data);
    }
}

// An unknown property or flag name through the whole import is TextFormTest's.
TEST_F(SubrecordJsonTest, EditedPropertiesWinOverStoredBytesAndBadOnesAreNamed) {
    const std::string fixd = R"({"sub": "FIXD", "props": {"Name": "ab", "Count": 1}, "hex": "6162006a756e6b000100"})";
    EXPECT_EQ(FromText(fixd), Concat({B({"ab\0junk\0", 8}), Bytes{1, 0}}));
    std::string edited = fixd;
    edited.replace(edited.find("\"ab\""), 4, "\"xy\"");
    EXPECT_EQ(FromText(edited), Concat({B({"xy\0\0\0\0\0\0", 8}), Bytes{1, 0}}));
    EXPECT_EQ(FromText(R"({"sub": "WIDE", "props": {"Flags": "0102"}})"), (Bytes{1, 2}));
    // Names in any case, and numbers in their place.
    EXPECT_EQ(FromText(R"({"sub": "ENUM", "props": {"Skill": "BLOCK", "Kind": 1, "Flags": ["fire", 1, 256], )"
                       R"("Type": "not race", "Count": "none"}})"),
              Enum(0, 1, 0x105, 'A', -1));
    EXPECT_EQ(FromText(R"({"sub": "FIXD", "props": {"Name": "", "Count": -1, "Level": 65535, "Big": 0,
        "Ratio": "Infinity", "Exact": 1e300, "Flags": [1, 256, 4]}})"),
              Concat({Bytes(8, 0), Bytes{0xFF, 0xFF, 0xFF, 0xFF}, Bytes(8, 0), Bytes{0, 0, 0x80, 0x7F},
                      Bytes{0x9C, 0x75, 0x00, 0x88, 0x3C, 0xE4, 0x37, 0x7E}, Bytes{5, 1}}));

    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {R"({"sub": "FIXD", "props": {"Name": "a", "Level": 2}})", "'Level' is given but 'Count' before it is not"},
        {R"({"sub": "FIXD", "props": {"Name": "a", "Count": 65536}})", "'Count' must lie between -32768 and 65535, not 65536"},
        {R"({"sub": "FIXD", "props": {"Name": "a", "Count": 1.5}})", "'Count' needs a whole number"},
        {R"({"sub": "FIXD", "props": {"Name": "a", "Count": "1"}})", "'Count' needs a whole number"},
        {R"({"sub": "FIXD", "props": {"Name": "123456789"}})", "'Name' is longer than its 8 bytes"},
        {R"({"sub": "NAME", "props": {"ID": "日本"}})", "'ID' holds a character that code page 1252 cannot store"},
        {R"({"sub": "NAME", "props": {"ID": "a\u0000b"}})", "'ID' may not hold a zero character"},
        {R"({"sub": "NAME", "props": {"ID": 5}})", "'ID' needs a text"},
        {R"({"sub": "REAL", "props": {"Value": 1e999}})", "'Value' needs a number that fits its type"},
        {R"({"sub": "WIDE", "props": {"Flags": 3}})", "'Flags' has no fixed width of at most 8 bytes: give its bytes in hexadecimal"},
        {R"({"sub": "FIXD", "props": {"Name": "", "Count": 0, "Level": 0, "Big": 0, "Ratio": 0, "Exact": 0, "Flags": [65536]}})",
         "'Flags' needs a whole number from 0 to 65535"},
        {R"({"sub": "FIXD", "props": {"Name": "", "Count": 0, "Level": 0, "Big": 0, "Ratio": 0, "Exact": 0, "Flags": 0, "Raw": "abc"}})",
         "'Raw' needs bytes as pairs of hexadecimal digits"},
        {R"({"sub": "ZZZZ", "props": {}})", "the format template has no group TEST.ZZZZ for the properties of ZZZZ"},
        {R"({"sub": "ENUM", "props": {"Skill": "Blok"}})", "'Skill' has no value named 'Blok' in the format template's list Skill"},
        {R"({"sub": "ENUM", "props": {"Skill": 0, "Kind": 0, "Flags": [true]}})",
         "'Flags' needs a whole number from 0 to 65535 or the names of its flags"},
        {R"({"sub": "NAMEX", "hex": ""})", "a subrecord needs \"sub\": its name of four characters"},
        {R"({"sub": "NAME"})", "subrecord NAME needs \"props\" or \"hex\""},
        {R"({"sub": "ZZZZ", "hex": "0g"})", "'ZZZZ' needs bytes as pairs of hexadecimal digits"},
        {R"({"sub": "NAME", "props": {"ID": "a"}, "extra": 1})", "a subrecord has no member \"extra\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            FromText(c.json);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
            EXPECT_EQ(e.line, 1u);
        }
    }
}

} // namespace
} // namespace vellum::test
