#include "template/PropertyCodec.h"

#include "model/ByteCast.h"
#include "template/Config.h"
#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <variant>

using namespace vellum;
using vellum::test::Concat;
using vellum::test::PromptRecorder;

namespace {

Bytes B(std::initializer_list<int> v) {
    Bytes out;
    for (int b : v) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}
Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

// A codec over a template given as text.
struct Codec {
    explicit Codec(std::string_view text) { templ.OpenText(text); }
    Config templ;
    PropertyCodec codec{templ};

    Properties Decode(std::string_view r, std::string_view s, const Bytes& data,
                      PropertyCodec::DecodeReport* report = nullptr) {
        Properties props;
        EXPECT_TRUE(codec.Decode(r, s, data, props, report));
        return props;
    }
};

} // namespace

TEST(PropertyCodec, TemplateSubrecordTypeVariants) {
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("NPC_", "NPDT", 12, false), "NPDT_12");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("NPC_", "NPDT", 52, false), "NPDT");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("CELL", "DATA", 24, false), "DATA_24");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("CELL", "DATA", 12, false), "DATA");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("CELL", "NAME", 5, true), "NAME");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("CELL", "NAME", 5, false), "NAME_NEXT");
    EXPECT_EQ(PropertyCodec::TemplateSubrecordType("NPC_", "NAME", 5, false), "NAME");
}

TEST(PropertyCodec, NoGroupGivesOneRawDataProperty) {
    Codec c("[X]\n");
    PropertyCodec::DecodeReport report;
    Bytes data = B({1, 2, 3, 0, 5});
    Properties props = c.Decode("ABCD", "WXYZ", data, &report);
    ASSERT_EQ(props.Count(), 1u);
    const Property& p = props.Item("Data");
    EXPECT_EQ(p.Description, "Unknown Data");
    EXPECT_EQ(p.DataType, kBytes);
    EXPECT_EQ(p.Size, 5);
    EXPECT_EQ(p.Raw(), data);
    EXPECT_TRUE(report.unknownData);
    EXPECT_EQ(c.codec.Encode(props), data);
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), data);
}

TEST(PropertyCodec, LeftoverBytesBecomeUnknownData) {
    Codec c("[T.X]\nA = LONG,4\nB = SHORT\nC = BYTE,4\n");
    PropertyCodec::DecodeReport report;
    Bytes data = B({1, 0, 0, 0, 0xFE, 0xFF, 9, 9, 9, 9, 7, 8});
    Properties props = c.Decode("T", "X", data, &report);
    ASSERT_EQ(props.Count(), 4u);
    EXPECT_EQ(props.Item("A").Int(), 1);
    EXPECT_EQ(props.Item("B").Int(), -2);
    EXPECT_EQ(props.Item("C").Raw(), B({9, 9, 9, 9}));
    const Property& rest = props.Item(4);
    EXPECT_EQ(rest.Name, "Unknown Data");
    EXPECT_EQ(rest.Description, "Unknown Data");
    EXPECT_EQ(rest.Size, 2);
    EXPECT_EQ(rest.Offset, 10u);
    EXPECT_EQ(rest.Raw(), B({7, 8}));
    EXPECT_TRUE(report.unknownData);
    EXPECT_EQ(c.codec.Encode(props), data);
}

TEST(PropertyCodec, NumericReadPastTheEndReportsTheCastFailure) {
    PromptRecorder prompt;
    Codec c("[T.X]\nA = LONG,4\nB = SHORT\n");
    PropertyCodec::DecodeReport report;
    Bytes data = B({1, 2, 3});
    Properties props = c.Decode("T", "X", data, &report);
    ASSERT_EQ(props.Count(), 1u) << "B is skipped once the data is used up";
    EXPECT_EQ(props.Item("A").Int(), 0);
    EXPECT_EQ(report.castErrors, 1);
    EXPECT_FALSE(report.unknownData);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{std::string(cast::kFailureMessage)});
    EXPECT_EQ(c.codec.Encode(props), data) << "unchanged, it is written back as read";
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), B({0, 0, 0, 0}));
}

TEST(PropertyCodec, ZeroTerminatedString) {
    Codec c("[T.X]\nName = STRING\n");
    Bytes data = B({'a', 'b', 'c', 0, 0});
    Properties props = c.Decode("T", "X", data);
    const Property& p = props.Item("Name");
    EXPECT_EQ(p.DataType, kText);
    EXPECT_EQ(p.Size, 0);
    EXPECT_EQ(p.Text(), "abc");
    EXPECT_EQ(p.StoredLength, 5u);
    EXPECT_EQ(props.Count(), 1u) << "the extra zero is skipped, not unknown data";
    EXPECT_EQ(c.codec.Encode(props), data);
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), B({'a', 'b', 'c', 0}));
}

TEST(PropertyCodec, UnterminatedStringAtTheEndStaysUnterminated) {
    Codec c("[T.X]\nA = SHORT\nName = STRING\n");
    Bytes data = B({1, 0, 'a', 'b'});
    Properties props = c.Decode("T", "X", data);
    Property& p = props.Item("Name");
    EXPECT_EQ(p.Text(), "ab");
    EXPECT_FALSE(p.Terminated);
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), data);
    p.SetValue(std::string("xyz"));
    EXPECT_EQ(c.codec.Encode(props), B({1, 0, 'x', 'y', 'z'}));
}

TEST(PropertyCodec, StringListRoundTrips) {
    Codec c("[T.X]\nItems = STRINGLIST\n");
    Bytes data = B({'a', 0, 'b', 0});
    Properties props = c.Decode("T", "X", data);
    const Property& p = props.Item("Items");
    EXPECT_TRUE(p.IsStringList);
    EXPECT_EQ(p.Text(), "a\r\nb\r\n");
    EXPECT_EQ(c.codec.Encode(props), data);
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), data);
}

TEST(PropertyCodec, ByteWithoutSizeTakesTheRest) {
    Codec c("[T.X]\nA = SHORT\nFlags = BYTE\nMore = LONG,4\n");
    Bytes data = B({1, 0, 5, 6, 7});
    Properties props = c.Decode("T", "X", data);
    ASSERT_EQ(props.Count(), 2u);
    EXPECT_EQ(props.Item("Flags").Raw(), B({5, 6, 7}));
    EXPECT_EQ(props.Item("Flags").Size, 3);
    EXPECT_EQ(props.Item("Flags").Offset, 2u);

    Codec big("[T.X]\nFlags = BITFIELD,8\n");
    Properties clipped = big.Decode("T", "X", data);
    EXPECT_EQ(clipped.Item("Flags").DataType, kBitField);
    EXPECT_EQ(clipped.Item("Flags").Raw(), data) << "a size past the end takes the rest";
}

TEST(PropertyCodec, FixedSizeText) {
    Codec c("[T.X]\nName = STRING,8\nN = SHORT\n");
    Bytes data = B({'a', 'b', ' ', ' ', 0, 'x', 0, 0, 3, 0});
    Properties props = c.Decode("T", "X", data);
    Property& p = props.Item("Name");
    EXPECT_EQ(p.Text(), "ab") << "cut at the first zero, trailing spaces removed";
    EXPECT_EQ(p.Size, 8);
    EXPECT_EQ(props.Item("N").Int(), 3);
    EXPECT_EQ(c.codec.Encode(props), data) << "viewing is not editing";
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), B({'a', 'b', 0, 0, 0, 0, 0, 0, 3, 0}));
    p.SetValue(std::string("0123456789"));
    EXPECT_EQ(c.codec.Encode(props), B({'0', '1', '2', '3', '4', '5', '6', '7', 3, 0}));
}

TEST(PropertyCodec, TextStoredShorterThanDeclared) {
    PromptRecorder prompt;
    Codec c("[NPC_.NPCS]\nSpell = STRING,32\n");
    Bytes data = B("Fireball\0");
    data.push_back(0);
    Properties props = c.Decode("NPC_", "NPCS", data);
    Property& p = props.Item("Spell");
    EXPECT_EQ(p.Text(), "Fireball");
    EXPECT_EQ(p.StoredLength, 9u);
    EXPECT_TRUE(prompt.calls.empty()) << "no cast failure";
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), data);
    p.SetValue(std::string("Frost"));
    EXPECT_EQ(c.codec.Encode(props), B({'F', 'r', 'o', 's', 't', 0, 0, 0, 0}));
    p.SetValue(std::string("A much longer spell"));
    Bytes grown = c.codec.Encode(props);
    EXPECT_EQ(grown.size(), 32u) << "a value that needs more takes the declared size";

    Bytes one = B({0});
    Properties empty = c.Decode("NPC_", "NPCS", one);
    EXPECT_EQ(empty.Item("Spell").Text(), "");
    EXPECT_EQ(PropertyCodec::EncodeFresh(empty), one);
}

// Numbers of each type and width decode to their value and encode back to the same bytes.
TEST(PropertyCodec, NumbersByTypeAndSize) {
    using Value = std::variant<std::int64_t, double>;
    struct Expected {
        const char* name;
        int size;
        Value value;
    };
    const struct {
        const char* templ;
        Bytes data;
        std::vector<Expected> props;
    } cases[] = {
        {"[T.X]\nA = LONG,1\nB = LONG,2\nC = LONG,3\nD = LONG,4\n",
         B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}),
         {{"A", 1, std::int64_t{255}}, {"B", 2, std::int64_t{65535}}, {"C", 3, std::int64_t{0xFFFFFF}},
          {"D", 4, std::int64_t{-2}}}},
        {"[T.X]\nA = LONG64\n", B({1, 2, 3, 4, 5, 6, 7, 0x80}),
         {{"A", 8, static_cast<std::int64_t>(0x8007060504030201ull)}}},
        {"[T.X]\nA = SINGLE\nB = DOUBLE\nC = SINGLE\n",
         Concat({cast::FromSingle(0.1f), cast::FromDouble(1.0 / 3.0), cast::FromSingle(-3.4e38f)}),
         {{"A", 4, double{0.1f}}, {"B", 8, 1.0 / 3.0}}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.templ);
        Codec c(t.templ);
        Properties props = c.Decode("T", "X", t.data);
        for (const Expected& e : t.props) {
            EXPECT_EQ(props.Item(e.name).Size, e.size) << e.name;
            if (const auto* i = std::get_if<std::int64_t>(&e.value)) EXPECT_EQ(props.Item(e.name).Int(), *i) << e.name;
            else EXPECT_EQ(props.Item(e.name).Real(), std::get<double>(e.value)) << e.name;
        }
        EXPECT_EQ(PropertyCodec::EncodeFresh(props), t.data);
    }
    EXPECT_EQ(Codec("[T.X]\nA = LONG64\n").Decode("T", "X", Bytes(8, 0)).Item("A").DataType, kLong64);
}

TEST(PropertyCodec, LongOfSizeZeroOrAboveFourIsReadAsFourAndReportedOnce) {
    PromptRecorder prompt;
    Codec c("[T.X]\nA = LONG,0\nB = LONG, 6\n");
    Bytes data = B({1, 0, 0, 0, 2, 0, 0, 0});
    Properties props = c.Decode("T", "X", data);
    EXPECT_EQ(props.Item("A").Size, 4);
    EXPECT_EQ(props.Item("B").Int(), 2);
    EXPECT_EQ(PropertyCodec::EncodeFresh(props), data);
    c.Decode("T", "X", data);
    c.templ.Touch(); // a rebuilt layout does not report the same lines again
    c.Decode("T", "X", data);
    EXPECT_EQ(prompt.Texts(),
              (std::vector<std::string>{
                  "Format template entry [T.X] A = LONG,0: a LONG holds 1 to 4 bytes, so it is read as LONG,4.",
                  "Format template entry [T.X] B = LONG, 6: a LONG holds 1 to 4 bytes, so it is read as LONG,4."}));
}

TEST(PropertyCodec, ParseTemplateReportsEveryFaultyLineUpFront) {
    PromptRecorder prompt;
    Codec c("[A.X]\nV = LONG\n[B.Y]\nW = long, 9\n[B]\nPropID = Y:W\n");
    c.codec.ParseTemplate();
    EXPECT_EQ(prompt.calls.size(), 2u);
    c.Decode("B", "Y", B({1, 2, 3, 4}));
    EXPECT_EQ(prompt.calls.size(), 2u);
}

TEST(PropertyCodec, OddTemplateSizesStayBounded) {
    Codec c("[T.X]\nName = STRING ,2\nBig = BYTE,99999999999\nNeg = BITFIELD,-4\n");
    Bytes data = B({'a', 'b', 1, 2});
    Properties props = c.Decode("T", "X", data);
    EXPECT_EQ(props.Item("Name").Text(), "ab") << "blanks around the type do not matter";
    EXPECT_EQ(props.Item("Big").Raw(), B({1, 2}));
    Properties fresh;
    ASSERT_TRUE(c.codec.Defaults("T", "X", fresh));
    EXPECT_LE(fresh.Item("Big").Raw().size(), std::size_t{1} << 20);
    EXPECT_TRUE(fresh.Item("Neg").Raw().empty());
}

TEST(PropertyCodec, UnknownTypeAddsNothingAndLookupsAreMarked) {
    Codec c("[T.X]\nA = WIDGET,4\nId = STRING,4\nFile = STRING\n"
            "[@TEXTLOOKUP]\nT.X.Id = NPC_,CREA\n[@FILELOOKUP]\nt.x.file = meshes\n");
    Bytes data = B({'a', 'b', 'c', 'd', 'm', 0});
    Properties props = c.Decode("T", "X", data);
    ASSERT_EQ(props.Count(), 2u);
    EXPECT_EQ(props.Item("Id").Text(), "abcd");
    EXPECT_TRUE(props.Item("Id").TextLookup);
    EXPECT_EQ(props.Item("Id").RecordType, "T");
    EXPECT_FALSE(props.Item("Id").FileLookup);
    EXPECT_TRUE(props.Item("File").FileLookup);
    EXPECT_FALSE(props.Item("File").TextLookup);
}

TEST(PropertyCodec, MissingTypeIsATemplateErrorOnceTheDataReachesIt) {
    PromptRecorder prompt;
    Codec c("[T.X]\nA = SHORT\nB =\n");
    Properties props;
    PropertyCodec::DecodeReport report;
    EXPECT_TRUE(c.codec.Decode("T", "X", B({1, 0}), props, &report)) << "B is never reached";
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(c.codec.Decode("T", "X", B({1, 0, 2}), props, &report));
    EXPECT_TRUE(report.templateError);
    EXPECT_EQ(props.Count(), 0u);
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{
                  "5: The property line 'B' has no type\n\nPossible cause: Error in format "
                  "template entry for record/subrecord type (last type = T.X)"});
}

TEST(PropertyCodec, LayoutFollowsTemplateChanges) {
    Codec c("[T.X]\nA = SHORT\n");
    Bytes data = B({1, 0, 2, 0});
    EXPECT_EQ(c.Decode("T", "X", data).Count(), 2u);
    c.templ.SetVar("T.X", "B", "SHORT");
    Properties props = c.Decode("T", "x", data);
    ASSERT_EQ(props.Count(), 2u);
    EXPECT_EQ(props.Item("B").Int(), 2);
}

TEST(PropertyCodec, GroupLayoutCarriesInstructions) {
    Codec c("[T.X]\n@REQUIREMENT = 1\n@STARTGROUP = Items\n@Unique\n@AllowNull\nA = LONG,2\n"
            "[T.Y]\nB = BYTE\n");
    const SubrecordLayout* x = c.codec.Layout("t", "x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Requirement, 1);
    EXPECT_TRUE(x->StartsGroup);
    EXPECT_EQ(x->StartGroup, "Items");
    EXPECT_TRUE(x->Unique);
    EXPECT_TRUE(x->AllowNull);
    ASSERT_EQ(x->Lines.size(), 1u);
    EXPECT_EQ(x->Lines[0].Size, 2);
    const SubrecordLayout* y = c.codec.Layout("T", "Y");
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(y->Requirement, 0);
    EXPECT_FALSE(y->StartsGroup || y->Unique || y->AllowNull);
    EXPECT_EQ(c.codec.Layout("T", "Z"), nullptr);
}

TEST(PropertyCodec, DefaultsEncodeToZeroContents) {
    Codec c("[T.X]\nName = STRING\nFixed = STRING,4\nFlags = BITFIELD,2\nS = SHORT\nL = LONG,3\n"
            "L8 = LONG64\nF = SINGLE\nD = DOUBLE\nOdd = THING\n");
    Properties props;
    ASSERT_TRUE(c.codec.Defaults("T", "X", props));
    EXPECT_EQ(props.Count(), 8u);
    EXPECT_EQ(props.Item("Fixed").Size, 4);
    EXPECT_EQ(props.Item("Flags").DataType, kBitField);
    EXPECT_EQ(c.codec.Encode(props), Bytes(1 + 4 + 2 + 2 + 3 + 8 + 4 + 8, 0));
    EXPECT_FALSE(c.codec.Defaults("T", "Missing", props));
}
