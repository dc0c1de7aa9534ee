#include "template/Config.h"
#include "template/SearchCriteria.h"

#include <gtest/gtest.h>

using namespace vellum;

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
