#include "ModelFixture.h"

#include "index/esCheckedEntries.h"
#include "model/RecordFilter.h"

#include <gtest/gtest.h>

#include <regex>

namespace vellum::test {
namespace {

// The filter picks the records worth matching by a text the expression needs and runs some
// expressions in one pass; the matcher alone, searching each text in any case, is the oracle.
TEST(RecordFilter, ExpressionsFindWhatTheMatcherAloneFinds) {
    const char* const patterns[] = {
        "^ex_.*door", "door$", "a+b", "ab*c", "colou?r", "(abc)+x", "x(?:yz)?w", "[)]abc", "\\.esp",
        "a\\/b", "\\x41bc", "\\u0041pple", "^(a|b)c", "^a|b", "a{2}b", "a{2,}?c", "\\bdoor\\b",
        "(?=ab)a", "[a-c]+d", "\\d\\d\\d", "hello\\sworld", "^$", "[^x]yz", "a.c", "(x|y)z|q",
    };
    const char* const texts[] = {
        "ex_door_01", "EX_Hlaalu_Door", "the door", "AAB", "ac", "abbbc", "color", "COLOUR", "abcabcx",
        "xw", "xyzw", ")abc", "mod.esp", "modXesp", "a/b", "Abc", "Apple", "bc", "b", "aab", "aaac",
        "doorway", "door", "abcd", "12 34", "x123", "hello world", "", "zyz", "aXc", "yz", "q",
    };
    for (const char* pattern : patterns) {
        RecordFilter filter;
        ASSERT_TRUE(filter.SetText(std::string("/") + pattern + "/")) << pattern << ": " << filter.Error();
        const std::regex oracle(pattern, std::regex::ECMAScript | std::regex::icase);
        for (const char* text : texts)
            EXPECT_EQ(filter.Matches(text), std::regex_search(text, oracle)) << pattern << " in \"" << text << '"';
    }
}

TEST(RecordFilter, TextInAnyLetterCaseOfTheCodePage) {
    const struct {
        int page;
        const char* filter;
        const char* text;
        bool found;
    } cases[] = {
        {1252, "GUARD", "imperial guard", true},
        {1252, "ard g", "Guard Gate", true},
        {1252, "guards", "guard", false},
        {1252, "\xC9T\xC9", "\xE9t\xE9", true},        // ÉTÉ, été
        {1252, "/^\xC9t\xE9$/", "\xE9T\xC9", true},     // an expression's letters too
        {1251, "\xC4\xE2\xE5\xF0\xFC", "\xE4\xC2\xC5\xD0\xDC", true}, // Дверь, дВЕРЬ
        {1250, "\xA3\xF3" "d\xBC", "\xB3\xD3" "D\xBE", true}, // Łódľ, łÓDľ
        {1252, "\xA3", "\xB3", false},                 // £ and ³ are no letters in the Western page
        {1252, "/abc", "x/abcx", true},                // no closing slash: plain text
        {1252, "/abc", "abc", false},
        {1252, "/", "a/b", true},
        {1252, "//", "anything", true},                // an empty expression keeps everything
    };
    for (const auto& c : cases) {
        RecordFilter filter;
        ASSERT_TRUE(filter.SetText(c.filter, c.page));
        EXPECT_EQ(filter.Matches(c.text), c.found) << c.page << " \"" << c.filter << "\" in \"" << c.text << '"';
    }
}

TEST(RecordFilter, AnInvalidExpressionSaysWhyAndKeepsEverything) {
    const std::string cases[] = {"/(/", "/[a/", "/a{2,1}/", "/(a)\\1/", "/*/", "/" + std::string(501, 'a') + "/"};
    for (const std::string& text : cases) {
        RecordFilter filter;
        EXPECT_FALSE(filter.SetText(text)) << text;
        EXPECT_FALSE(filter.Error().empty()) << text;
        EXPECT_FALSE(filter.Active()) << text;
        EXPECT_TRUE(filter.Matches("anything")) << text;
        EXPECT_TRUE(filter.SetText("ok")); // a later valid text clears the error
        EXPECT_TRUE(filter.Error().empty());
    }
}

// Records as a plug-in holds them, through the shipped template: IDs as the tree lists them,
// names and response texts, the ticked and the changed, counted per category.
TEST(RecordFilter, CountsRecordsByListedIdNameTickAndChange) {
    ModelTest t(ShippedTemplateText().c_str());
    const auto cellData = [](std::int32_t flags, std::int32_t x, std::int32_t y) {
        return Concat({Int32(flags), Int32(x), Int32(y)});
    };
    ASSERT_EQ(t.Load(Concat({
                  HeaderRecord(6),
                  RecordBytes("NPC_", {{"NAME", Text("guard_01")}, {"FNAM", Text("Imperial Guard")}}),
                  RecordBytes("NPC_", {{"NAME", Text("smith")}, {"FNAM", Text("Hlaalu Smith")}}),
                  RecordBytes("CELL", {{"NAME", Text("")}, {"DATA", cellData(0, -3, 2)}}),
                  RecordBytes("CELL", {{"NAME", Text("Balmora")}, {"DATA", cellData(0, -3, -2)}}),
                  RecordBytes("CELL", {{"NAME", Text("Guard Tower")}, {"DATA", cellData(1, 0, 0)}}),
                  RecordBytes("INFO", {{"INAM", Text("12345")}, {"NAME", Text("Halt! Stop right there.")}}),
              })),
              esfile::kLoaded);
    const esfile& f = *t.file;
    const struct {
        const char* text;
        std::size_t npcs, cells, responses;
    } cases[] = {
        {"GUARD", 1, 1, 0},       // an ID, a name, an interior cell's name
        {"hlaalu", 1, 0, 0},      // a name alone
        {"wilderness", 0, 1, 0},  // the unnamed exterior cell as listed
        {"(-3, -2)", 0, 1, 0},    // a grid as listed
        {"right there", 0, 0, 1}, // a response's text
        {"/^[a-z]+$/", 1, 0, 0},  // "smith", not "guard_01" nor a name with blanks
        {"", 2, 3, 1},
    };
    for (const auto& c : cases) {
        RecordFilter filter;
        ASSERT_TRUE(filter.SetText(c.text));
        EXPECT_EQ(filter.Count(f, "NPC_"), c.npcs) << c.text;
        EXPECT_EQ(filter.Count(f, "CELL"), c.cells) << c.text;
        EXPECT_EQ(filter.Count(f, "INFO"), c.responses) << c.text;
    }
    // Ticked (a record, or one with a ticked subrecord) and changed (edited or added): the
    // text narrows further. The buttons over a real plug-in are RecordTreeTest's.
    esCheckedEntries marks;
    marks.Add(f.Records()[1].Key, "f", f.Records()[1].Key);
    marks.Add(f.Records()[5].Key + ".NAME", "f", f.Records()[5].Key, "NAME");
    t.file->SetRecordByte(2, 8, 'S');
    t.file->AddRecord("NPC_");
    RecordFilter ticked, changed;
    ticked.SetMarkedOnly(&marks);
    changed.SetChangedOnly(true);
    EXPECT_EQ(std::make_pair(ticked.Count(f, "NPC_"), ticked.Count(f, "CELL")), std::make_pair(1ul, 1ul));
    EXPECT_EQ(std::make_pair(changed.Count(f, "NPC_"), changed.Count(f, "CELL")), std::make_pair(2ul, 0ul));
    ticked.SetText("balmora");
    changed.SetText("hlaalu");
    EXPECT_EQ(std::make_pair(ticked.Count(f, "NPC_"), ticked.Count(f, "CELL")), std::make_pair(0ul, 0ul));
    EXPECT_EQ(changed.Count(f, "NPC_"), 1u);
}

} // namespace
} // namespace vellum::test
