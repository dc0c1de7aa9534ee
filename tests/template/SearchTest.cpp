#include "../model/ModelFixture.h"

#include "template/Search.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

const std::string kSearchTemplate = std::string(kHeaderTemplate) + R"([GMST]
PropID = NAME:ID
[GMST.NAME]
ID = STRING
[GMST.STRV]
Value = STRING
[GMST.INTV]
Value = LONG,4
[NPC_]
PropID = NAME:ID
[NPC_.NAME]
ID = STRING
[NPC_.FNAM]
Name = STRING
[NPC_.NPDT]
Level = SHORT,2
Note = STRING,8
[NPC_.DATA]
Raw = BYTE
)";

Bytes Short(std::int16_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }

class SearchTest : public ::testing::Test, public ModelTest {
protected:
    SearchTest() : ModelTest(kSearchTemplate.c_str()) {}

    void SetUp() override {
        Bytes npdt = Concat({Short(5), Text("dwe", false)});
        npdt.resize(10, 0);
        ASSERT_EQ(Load(Concat({HeaderRecord(4),
                               RecordBytes("GMST", {{"NAME", Text("sDwemer")}, {"STRV", Text("The DWE ruins", false)}}),
                               RecordBytes("GMST", {{"NAME", Text("iCount")}, {"INTV", Int32(100)}}),
                               RecordBytes("NPC_", {{"NAME", Text("dwe")}, {"FNAM", Text("Dwe Guard")}, {"NPDT", npdt}}),
                               RecordBytes("NPC_", {{"NAME", Text("other")}, {"DATA", Text("dwe")}, {"FNAM", Text("x")},
                                                    {"FNAM", Text("5")}})}),
                       true, nullptr, "a.esp"),
                  0);
        second = NewFile();
        WriteBytes(dir / "b.esp", Concat({HeaderRecord(1), RecordBytes("NPC_", {{"NAME", Text("DWE")}})}));
        ASSERT_EQ(second->LoadFile((dir / "b.esp").string(), true, true), 0);
    }

    std::vector<std::string> Find(std::string_view text, std::string_view type, std::string_view sub,
                                  bool matchCase = false, bool whole = false, bool both = false) {
        std::vector<esfile*> scope{file.get()};
        if (both) scope.push_back(second.get());
        Search search(scope, SearchCriteria::FromInput(text, type, sub, matchCase, whole, both));
        std::vector<std::string> rows;
        for (const SearchHit& h : search.FindAll())
            rows.push_back(std::filesystem::path(h.FileKey).filename().string() + " " + h.RecordKey + " " +
                           h.SubRecordKey + " " + h.Property + " " + h.Value);
        return rows;
    }

    std::unique_ptr<esfile> second;
};

using Rows = std::vector<std::string>;

TEST_F(SearchTest, TextCaseWholePhraseAndTypes) {
    const struct {
        const char *text, *type, *sub;
        bool matchCase, whole, both;
        Rows rows;
        const char* why;
    } cases[] = {
        {"dwe", "", "", false, false, false,
         {"a.esp GMST1 NAME ID sDwemer", "a.esp GMST1 STRV Value The DWE ruins", "a.esp NPC_3 NAME ID dwe",
          "a.esp NPC_3 FNAM Name Dwe Guard", "a.esp NPC_3 NPDT Note dwe"},
         "any case inside longer texts; NPC_4's DATA holds the bytes but declares no text"},
        {"DWE", "", "", false, true, true,
         {"a.esp NPC_3 NAME ID dwe", "a.esp NPC_3 NPDT Note dwe", "b.esp NPC_1 NAME ID DWE"}, "whole, both files"},
        {"dwe", "", "", true, true, true, {"a.esp NPC_3 NAME ID dwe", "a.esp NPC_3 NPDT Note dwe"}, "whole, case"},
        {"Dwe", "", "", true, false, false, {"a.esp GMST1 NAME ID sDwemer", "a.esp NPC_3 FNAM Name Dwe Guard"},
         "case"},
        {"5", "npc_", "", false, false, false, {"a.esp NPC_3 NPDT Level 5", "a.esp NPC_4 FNAM3 Name 5"},
         "numbers compare as their text; a repeated subrecord has its unpacked key"},
        {"100", "", "", false, false, false, {}, "INTV declares no text"},
        {"dwe", "", "FNAM", false, false, false, {"a.esp NPC_3 FNAM Name Dwe Guard"}, "subrecord type"},
        {"", "NPC_", "", false, false, true, {"a.esp NPC_3   ", "a.esp NPC_4   ", "b.esp NPC_1   "}, "listing"},
        {"", "", "fnam", false, false, false, {"a.esp NPC_3 FNAM  ", "a.esp NPC_4 FNAM  ", "a.esp NPC_4 FNAM3  "},
         "listing subrecords"},
        {"dwe", "LIGH", "", false, false, false, {}, "a type the file lacks"},
    };
    for (const auto& c : cases) EXPECT_EQ(Find(c.text, c.type, c.sub, c.matchCase, c.whole, c.both), c.rows) << c.why;
}

TEST_F(SearchTest, PackedRecordsStayPackedUnlessLeftUnpacked) {
    const Rows packed = Find("dwe", "", "");
    for (const auto& r : file->Records()) EXPECT_TRUE(r.Packed) << r.Key;

    file->LeaveRecordsUnpacked = true;
    EXPECT_EQ(Find("dwe", "NPC_", "NAME").size(), 1u);
    EXPECT_FALSE(file->Rec(3).Packed);
    EXPECT_FALSE(file->Rec(3).SubRecords->Item("NAME").Packed) << "the compared subrecord is decoded";
    EXPECT_TRUE(file->Rec(3).SubRecords->Item("FNAM").Packed);
    EXPECT_TRUE(file->Rec(1).Packed) << "a type not searched is not touched";
    EXPECT_EQ(Find("dwe", "", ""), packed) << "the same hits from unpacked records";
}

TEST_F(SearchTest, FindNextStepsThroughTheHitsInOrder) {
    Search search({file.get(), second.get()}, SearchCriteria::FromInput("dwe", "", "", false, false, true));
    std::vector<SearchHit> all = search.FindAll();
    ASSERT_EQ(all.size(), 6u);
    std::optional<SearchHit> at = search.FindNext(nullptr);
    for (const SearchHit& expected : all) {
        ASSERT_TRUE(at);
        EXPECT_TRUE(at->SamePlace(expected)) << at->Row();
        at = search.FindNext(&*at);
    }
    EXPECT_FALSE(at) << "no wrap past the last hit";

    SearchHit place{file->FileName, "NPC_3", "", ""};
    EXPECT_EQ(search.FindNext(&place)->SubRecordKey, "NAME") << "a record comes before its hits";
    place.SubRecordKey = "NAME";
    EXPECT_EQ(search.FindNext(&place)->SubRecordKey, "FNAM") << "a selected subrecord comes after its own hits";
    place = {file->FileName, "NPC_4", "", ""};
    EXPECT_EQ(search.FindNext(&place)->FileKey, second->FileName) << "on into the next file";
    place.FileKey = "/elsewhere.esp";
    EXPECT_EQ(search.FindNext(&place)->RecordKey, "GMST1") << "a place outside the scope starts over";
}

TEST_F(SearchTest, RowsCancelAndProgress) {
    SearchHit h{"/d/a.esp", "NPC_3", "FNAM", "Name", "a.esp", "NPC_", "dwe", "two\tlines\r\n"};
    EXPECT_EQ(h.Row(), "/d/a.esp\tNPC_3\tFNAM\tName\tNPC_\tdwe\ttwo lines  ");

    RecordingProgress progress;
    progress.cancel = true;
    Search cancelled({file.get()}, SearchCriteria::FromInput("dwe", "GMST", "", false, false, false), &progress);
    EXPECT_EQ(cancelled.FindAll().size(), 1u) << "stops after the first row";
    Search header({file.get()}, SearchCriteria::FromInput("dwe", "", "", false, false, false), &progress);
    EXPECT_TRUE(header.FindAll().empty()) << "stops after the header's subrecord, which holds no match";

    std::vector<Bytes> parts{HeaderRecord(600)};
    for (int i = 0; i < 600; ++i) parts.push_back(Gmst("g" + std::to_string(i)));
    ASSERT_EQ(Load(Concat(parts), true, nullptr, "many.esp"), 0);
    RecordingProgress counted;
    Search listing({file.get()}, SearchCriteria::FromInput("", "GMST", "", false, false, false), &counted);
    EXPECT_EQ(listing.FindAll().size(), 600u);
    ASSERT_EQ(counted.reports.size(), 1u) << "the status changes on every 501st step";
    EXPECT_EQ(counted.reports[0].second, "Adding record GMST501");
}

TEST(SearchCriteria, InputIsNormalisedAsTheWindowReadsIt) {
    EXPECT_FALSE(SearchCriteria::CanFind("", "", ""));
    EXPECT_TRUE(SearchCriteria::CanFind("", "", "NAME")) << "anything given enables Find";
    auto c = SearchCriteria::FromInput("  sword  ", "npc_ (NPCs)", "NAME  ", false, false, true);
    EXPECT_EQ(c.Text, "  sword");
    EXPECT_EQ(c.RecordType, "NPC_");
    EXPECT_EQ(c.SubType, "NAME");
    EXPECT_TRUE(c.AllFiles);
}

TEST(SearchCriteria, TypeListsFollowTheTemplate) {
    Config t;
    t.OpenText("[TES3]\n[TES3.HEDR]\nVersion = SINGLE\n"
               "[NPC_]\n[NPC_.NAME]\nID = STRING\n[NPC_.NPDT_12]\nLevel = SHORT\n"
               "[INFO]\n@FollowsParent\n[INFO.NAME]\nText = STRING\n"
               "[@TEXTLOOKUP]\nX = Y\n[@TEXTLOOKUP.ZZZZ]\nA = B\n"
               "[CELL.NAME_NEXT]\nn = STRING\n[A.B.C]\n");
    EXPECT_EQ(SearchCriteria::RecordTypes(t), (std::vector<std::string>{"TES3", "NPC_"}));
    EXPECT_EQ(SearchCriteria::SubrecordTypes(t, ""),
              (std::vector<std::string>{"HEDR", "NAME", "NPDT"})) << "each once, '@' groups never";
    EXPECT_EQ(SearchCriteria::SubrecordTypes(t, "@ALL"), SearchCriteria::SubrecordTypes(t, ""));
    EXPECT_EQ(SearchCriteria::SubrecordTypes(t, "NPC_"), (std::vector<std::string>{"NAME", "NPDT"}));
    EXPECT_EQ(SearchCriteria::SubrecordTypes(t, "CELL"), (std::vector<std::string>{"NAME"}));
    EXPECT_TRUE(SearchCriteria::SubrecordTypes(t, "XXXX").empty());
}

} // namespace
} // namespace vellum::test
