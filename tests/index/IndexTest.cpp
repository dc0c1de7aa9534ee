#include "../model/ModelFixture.h"

#include "index/esRecIDIndex.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

// Renaming itself is checked through ChangeRecordID in FilesTest.
TEST(esRecIDIndex, FirstRecordKeepsAnIdWhateverItsCaseAndARenameKeepsTheNewCase) {
    esRecIDIndex ids;
    ids.Add("Guard", 3, "the guard", "NPC_");
    ids.Add("GUARD", 7);
    EXPECT_EQ(ids.Count(), 1u);
    EXPECT_EQ(ids.Item("guard").IndexNumber, 3);
    ids.ChangeID("missing", "d");
    EXPECT_EQ(ids.Count(), 1u);
    ids.ChangeID("guard", "GUARD");
    EXPECT_EQ(ids.KeyAt(1), "GUARD");
    EXPECT_EQ(ids.Item("guard").Description, "the guard");
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

// Rebuilding after deletions and pastes is checked in TransferTest.
TEST_F(IndexTest, CategoriesTakeIdSourcesFromTheTemplateSkippingMalformedPairs) {
    LoadGmsts(2);
    const auto* gmst = file->esRecArrayCatIndex().Item("GMST");
    ASSERT_NE(gmst, nullptr);
    EXPECT_EQ(gmst->esIDs.Count(), 2u);
    EXPECT_TRUE(gmst->esIDs[1].MultiPropID);
    EXPECT_TRUE(gmst->HexID);
    EXPECT_EQ(gmst->esRecArrayCatEntries.Count(), 2u);
    const auto* clas = file->esRecArrayCatIndex().Item("CLAS");
    ASSERT_EQ(clas->esIDs.Count(), 1u) << "pairs without a colon or with two are skipped";
    EXPECT_EQ(clas->esIDs[0].SubID, "NAME");
    EXPECT_EQ(file->esRecArrayCatIndex().Item("TES3")->esIDs.Count(), 0u);
    EXPECT_EQ(file->esRecArrayCatIndex().Item("NONE"), nullptr);
}

} // namespace
} // namespace vellum::test
