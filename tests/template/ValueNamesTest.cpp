// Names the format template gives to values and bits: "[@VALUES.x]" and "[@FLAGS.x]" lists that a
// property line asks for by its third part.
#include "template/ValueNames.h"

#include "TestSupport.h"
#include "TextCodec.h"

#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;

using Template = vellum::test::TextCodec;

TEST(ValueNames, KeysAreDecimalOrHexNumbersOrTexts) {
    const struct {
        const char* text;
        std::optional<std::int64_t> number;
    } cases[] = {
        {"12", 12},   {" -1 ", -1},  {"0x1C", 28},     {"0X10", 16},          {"-0x10", -16},
        {"00", 0},    {"0x", {}},    {"abc", {}},      {"1.5", {}},           {"", {}},
        {"-", {}},    {"12a", {}},   {"99999999999999999999", {}}, {"0xFFFFFFFFFFFFFFFF", -1},
    };
    for (const auto& t : cases) EXPECT_EQ(ValueNames::ParseNumber(t.text), t.number) << t.text;
}

TEST(ValueNames, PropertiesShowTheNamesOfTheirValuesAndBits) {
    PromptRecorder prompt;
    Template t("[T.X]\nSkill = SIGNED,1,Skill\nFlags = BITFIELD,2,F\nFn = STRING,2,Fn\nPlain = LONG,4\n"
               "[@VALUES.Skill]\n-1 = None\n0 = Block\n26 = Hand-to-hand\n"
               "[@FLAGS.F]\n0x0001 = First\n0x8000 = Last\n"
               "[@VALUES.Fn]\n00 = Reaction\nA = Not Race\n");
    t.codec.ParseTemplate();
    EXPECT_TRUE(prompt.calls.empty());
    Properties props;
    ASSERT_TRUE(t.codec.Decode("T", "X", Bytes{0xFF, 0x01, 0x80, 'a', 0, 7, 0, 0, 0}, props));

    const auto skill = t.codec.NamesOf("t", "x", "skill");
    ASSERT_TRUE(skill);
    EXPECT_EQ(skill->kind(), ValueNames::Kind::Values);
    EXPECT_EQ(*skill->NameOf(props.Item("Skill")), "None") << "-1 read as a signed byte";
    EXPECT_EQ(*skill->NameOf(26), "Hand-to-hand");
    EXPECT_EQ(skill->NameOf(255), nullptr);

    const auto flags = t.codec.NamesOf("T", "X", "Flags");
    ASSERT_TRUE(flags);
    EXPECT_EQ(flags->kind(), ValueNames::Kind::Flags);
    EXPECT_EQ(*flags->BitName(15), "Last");

    const auto fn = t.codec.NamesOf("T", "X", "Fn");
    ASSERT_TRUE(fn);
    EXPECT_EQ(*fn->NameOf(props.Item("Fn")), "Not Race") << "texts compare without regard to case";
    EXPECT_EQ(*fn->NameOf(std::string_view("00")), "Reaction");
    EXPECT_EQ(fn->NameOf(std::string_view("0")), nullptr) << "a text key is not a number";

    EXPECT_EQ(t.codec.NamesOf("T", "X", "Plain"), nullptr) << "a line without names keeps working";
    EXPECT_EQ(props.Item("Plain").Int(), 7);
    EXPECT_EQ(t.codec.NamesOf("T", "X", "Missing"), nullptr);
    EXPECT_EQ(t.codec.NamesOf("T", "Y", "Skill"), nullptr);
}

// Each faulty line is shown once, when the template is read, and names that cannot apply are left
// out; the property still decodes.
TEST(ValueNames, FaultyNamesAreReportedOnceAndLeftOut) {
    const struct {
        const char* what;
        const char* templ;
        std::vector<std::string> messages;
        std::size_t entries; // of the list property A gets
    } cases[] = {
        {"a list that does not exist", "[T.X]\nA = LONG,4,Nope\n[@FLAGS.Nope]\n0x1 = Wrong kind\n",
         {"Format template entry [T.X] A = LONG,4,Nope: there is no group [@VALUES.Nope], so the value shows "
          "without names."},
         0},
        {"a type that takes no names", "[T.X]\nA = BYTE,4,Skill\n[@VALUES.Skill]\n0 = Block\n",
         {"Format template entry [T.X] A = BYTE,4,Skill: only numbers, texts and bit fields take names, so the "
          "names are left out."},
         0},
        {"flags named by more or less than one bit", "[T.X]\nA = BITFIELD,1,F\n[@FLAGS.F]\n0x3 = Two\nx = Bad\n0x4 = Good\n",
         {"Format template entry [@FLAGS.F] 0x3 = Two: a flag is named by the value of its one bit, such as 0x0004, "
          "so the line is left out.",
          "Format template entry [@FLAGS.F] x = Bad: a flag is named by the value of its one bit, such as 0x0004, "
          "so the line is left out."},
         1},
        {"texts for a number", "[T.X]\nA = LONG,4,G\n[@VALUES.G]\ns = Short\n1 = One\n",
         {"Format template entry [T.X] A = LONG,4,G: not every name of [@VALUES.G] is for a number; only those "
          "that are apply."},
         2},
        {"names after the size, blanks and case aside", "[T.X]\nA = long , 4 , g \n[@values.G]\n1 = One\n", {}, 1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        PromptRecorder prompt;
        Template tp(t.templ);
        tp.codec.ParseTemplate();
        tp.templ.Touch(); // parsed again, not reported again
        tp.codec.ParseTemplate();
        EXPECT_EQ(prompt.Texts(), t.messages);
        const auto names = tp.codec.NamesOf("T", "X", "A");
        EXPECT_EQ(names ? names->Entries().size() : 0u, t.entries);
        Properties props;
        EXPECT_TRUE(tp.codec.Decode("T", "X", Bytes{1, 0, 0, 0}, props));
        EXPECT_NE(props.Find("A"), nullptr);
    }
}
