#include "template/Config.h"
#include "template/SearchCriteria.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;

TEST(SearchCriteria, FindIsEnabledWhenAnythingIsGiven) {
    EXPECT_FALSE(SearchCriteria::CanFind("", "", ""));
    EXPECT_TRUE(SearchCriteria::CanFind("a", "", ""));
    EXPECT_TRUE(SearchCriteria::CanFind("", "NPC_", ""));
    EXPECT_TRUE(SearchCriteria::CanFind("", "", "NAME"));
}

TEST(SearchCriteria, InputIsNormalisedAsTheWindowReadsIt) {
    auto c = SearchCriteria::FromInput("  sword  ", "npc_ (NPCs)", "NAME  ", false, false, true);
    EXPECT_EQ(c.Text, "  sword");
    EXPECT_EQ(c.RecordType, "NPC_");
    EXPECT_EQ(c.SubType, "NAME");
    EXPECT_TRUE(c.AllFiles);
}

TEST(SearchCriteria, MatchCaseAndWholePhrase) {
    auto c = SearchCriteria::FromInput("dwe", "", "", false, false, false);
    EXPECT_TRUE(c.Matches("misc_DWRV_cup00 DWEmer"));
    EXPECT_FALSE(c.Matches("dw"));
    EXPECT_FALSE(c.Matches(""));
    c.WholePhrase = true;
    EXPECT_FALSE(c.Matches("Dwemer"));
    EXPECT_TRUE(c.Matches("DWE"));
    c.MatchCase = true;
    EXPECT_FALSE(c.Matches("DWE"));
    EXPECT_TRUE(c.Matches("dwe"));
    c.WholePhrase = false;
    EXPECT_TRUE(c.Matches("xdwex"));
    EXPECT_FALSE(c.Matches("xDwex"));
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

TEST(SearchCriteria, ShippedTemplateHidesChildRecordTypes) {
    Config t;
    ASSERT_EQ(t.OpenFile((vellum::test::SourceDir() / "data" / "ESTemplate.ini").string()), 0);
    auto types = SearchCriteria::RecordTypes(t);
    EXPECT_NE(std::find(types.begin(), types.end(), "DIAL"), types.end());
    for (const std::string& type : types) EXPECT_FALSE(t.InstrExists(type, "FollowsParent")) << type;
    EXPECT_GT(types.size(), 40u);
}
