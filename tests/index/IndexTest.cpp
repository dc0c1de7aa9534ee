#include "../model/ModelFixture.h"

#include "index/esRecIDIndex.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(esRecIDIndex, FirstRecordKeepsAnIdWhateverItsCase) {
    esRecIDIndex ids;
    ids.Add("Guard", 3, "the guard", "NPC_");
    ids.Add("GUARD", 7);
    EXPECT_EQ(ids.Count(), 1u);
    EXPECT_EQ(ids.Item("guard").IndexNumber, 3);
}

TEST(esRecIDIndex, ChangeIdMovesTheEntry) {
    esRecIDIndex ids;
    ids.Add("a", 1, "first");
    ids.Add("b", 2);
    ids.ChangeID("a", "c");
    EXPECT_FALSE(ids.Exists("a"));
    EXPECT_EQ(ids.Item("c").IndexNumber, 1);
    EXPECT_EQ(ids.Item("c").Description, "first");
    ids.ChangeID("missing", "d");
    EXPECT_EQ(ids.Count(), 2u);
    ids.ChangeID("c", "C");
    EXPECT_EQ(ids.KeyAt(2), "C") << "a change of letter case takes the new spelling";
}

const std::string kIdTemplate = std::string("[@FILESEQUENCE]\nTES3\nNOSEQUENCE\n") + kHeaderTemplate + R"([GMST]
PropID = NAME:ID,STRV:Value
PropDesc = STRV,Value
@HexID
[GMST.NAME]
ID = STRING
[GMST.STRV]
Value = STRING
Extra = LONG,4
[CLAS]
PropID = NAME,FNAM:Name:x,NAME:ID
[CLAS.NAME]
ID = STRING
)";

class IndexTest : public ModelTest, public ::testing::Test {
protected:
    IndexTest() : ModelTest(kIdTemplate.c_str()) {}
    void LoadGmsts(int n) {
        std::vector<Bytes> parts{HeaderRecord(n)};
        for (int i = 0; i < n; ++i) parts.push_back(Gmst("g" + std::to_string(i)));
        parts.push_back(RecordBytes("CLAS", {{"NAME", Text("c")}}));
        ASSERT_EQ(Load(Concat(parts), false), 0);
    }
};

TEST_F(IndexTest, CategoriesTakeIdSourcesDescriptionAndHexIdFromTheTemplate) {
    LoadGmsts(2);
    const auto* gmst = file->esRecArrayCatIndex().Item("GMST");
    ASSERT_NE(gmst, nullptr);
    ASSERT_EQ(gmst->esIDs.Count(), 2u);
    EXPECT_EQ(gmst->esIDs[0].SubID, "NAME");
    EXPECT_EQ(gmst->esIDs[0].PropID, "ID");
    EXPECT_FALSE(gmst->esIDs[0].MultiPropID);
    EXPECT_EQ(gmst->esIDs[1].SubID, "STRV");
    EXPECT_TRUE(gmst->esIDs[1].MultiPropID);
    EXPECT_EQ(gmst->SubDesc, "STRV");
    EXPECT_EQ(gmst->PropDesc, "Value");
    EXPECT_TRUE(gmst->HexID);
    const auto* clas = file->esRecArrayCatIndex().Item("CLAS");
    ASSERT_EQ(clas->esIDs.Count(), 1u) << "pairs without a colon or with two are skipped";
    EXPECT_EQ(clas->esIDs[0].SubID, "NAME");
    EXPECT_EQ(file->esRecArrayCatIndex().Item("TES3")->esIDs.Count(), 0u);
    EXPECT_EQ(file->esRecArrayCatIndex().Item("NONE"), nullptr);
    EXPECT_EQ(gmst->esRecArrayCatEntries.Count(), 2u);
    EXPECT_EQ(file->Records()[1].CatKey(), "GMST");
}

TEST_F(IndexTest, ClearIndicesReportsEvery21stRemoval) {
    LoadGmsts(49); // 51 keys in the key index, 3 categories
    RecordingProgress progress;
    file->ClearIndices(&progress);
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[0], std::make_pair(-1.0, std::string("Clearing Entry 30")));
    EXPECT_EQ(progress.reports[1], std::make_pair(-1.0, std::string("Clearing Entry 9")));
    EXPECT_EQ(file->esRecArrayIndex().Count(), 0u);
}

// A category the template does not know gets no ID sources.
TEST_F(IndexTest, RebuildAfterRemovingRecordsRenumbersEverything) {
    LoadGmsts(4); // GMST1..GMST4, CLAS5
    auto& records = file->Records();
    for (int i = 2; i <= 5; ++i) {
        const RecordEntry& r = records[static_cast<std::size_t>(i)];
        file->esKeys().Add(r.Key, r.ID, i);
    }
    records.erase(records.begin() + 2); // g1 goes
    for (std::size_t i = 2; i < records.size(); ++i) records[i].Key = records[i].Name + std::to_string(i);
    RecordEntry extra = file->Record(1);
    extra.Name = "CLAS";
    extra.Key = "XXXX5";
    records.push_back(extra);
    RecordingProgress progress;
    file->RebuildIndices(&progress);

    EXPECT_EQ(progress.reports.front().second, "Clearing Indices...");
    EXPECT_EQ(progress.reports[1].second, "Rebuilding Indices...");
    EXPECT_EQ(progress.reports.back().second, "Rebuilding Index Value 5");
    EXPECT_EQ(file->esRecArrayIndex().Count(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(file->GetRecordIndex(records[i].Key), static_cast<int>(i));
    EXPECT_FALSE(file->esRecArrayIndex().Exists("CLAS5"));
    const auto* gmst = file->esRecArrayCatIndex().Item("GMST");
    EXPECT_FALSE(gmst->esRecIDIndex.Exists("g1"));
    EXPECT_EQ(gmst->esRecIDIndex.Item("g3").IndexNumber, 3);
    EXPECT_EQ(gmst->esRecArrayCatEntries.Count(), 3u);
    const auto* cat = file->esRecArrayCatIndex().Item("XXXX");
    ASSERT_NE(cat, nullptr);
    EXPECT_EQ(cat->esIDs.Count(), 0u);
    EXPECT_EQ(cat->esRecArrayCatEntries.Item("XXXX5").IndexNumber, 5);
}

} // namespace
} // namespace vellum::test
