#include "template/Config.h"
#include "template/esTextLookups.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {
esTextLookups Build(std::string_view templ) {
    vellum::test::PromptRecorder quiet;
    Config c;
    c.OpenText(templ);
    esTextLookups list;
    BuildTextLookupList(list, c);
    return list;
}
} // namespace

TEST(TextLookups, EntriesTypesAndReverseIndex) {
    esTextLookups list = Build("[@TEXTLOOKUP]\n"
                               "npc_.NPCO.Item = ALCH,APPA,ARMO\n"
                               "CELL.NAME\n"
                               "CELL.NAME.Name =\n"
                               "CELL.NAME_NEXT.Object = STAT\n"
                               "CELL.FRMR.Ref.Extra = NPC_\n");
    ASSERT_EQ(list.Count(), 4u) << "two-part names are ignored";
    const esTextLookup& item = list.Item("NPC_.NPCO.ITEM");
    EXPECT_EQ(item.RecordType, "NPC_");
    EXPECT_EQ(item.SubrecordType, "NPCO");
    EXPECT_EQ(item.PropertyType, "Item");
    ASSERT_EQ(item.esLookupTypes.Count(), 3u);
    EXPECT_EQ(item.esLookupTypes.Item(3).Type, "ARMO");
    EXPECT_TRUE(item.Targets("appa"));

    EXPECT_EQ(list.Item("CELL.NAME.Name").esLookupTypes.Count(), 0u)
        << "an empty value is a lookup with no types";
    ASSERT_NE(list.Find("CELL", "NAME_NEXT", "Object"), nullptr);
    EXPECT_EQ(list.Find("CELL", "NAME_NEXT", "Name"), nullptr);
    EXPECT_EQ(list.Item("CELL.FRMR.Ref.Extra").PropertyType, "Ref")
        << "the third part names the property; later parts are not part of it";

    const estlSubrecordType* npco = list.estlRecordTypes().Find("NPC_", "NPCO");
    ASSERT_NE(npco, nullptr);
    EXPECT_EQ(npco->IDProperty, "Item");
    const estlSubrecordType* name = list.estlRecordTypes().Find("cell", "NAME_NEXT");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->IDProperty, "Name") << "the first property per four-character name stays";
    EXPECT_EQ(list.estlRecordTypes().Item("CELL").estlSubrecordTypes.Count(), 2u);
    EXPECT_EQ(list.estlRecordTypes().Find("CELL", "XXXX"), nullptr);
    EXPECT_EQ(list.estlRecordTypes().Find("BOOK", "NAME"), nullptr);
}

TEST(TextLookups, RepeatedTypeStopsTheRebuildAndRebuildStartsAfresh) {
    esTextLookups list = Build("[@TEXTLOOKUP]\n"
                               "SPEL.X.A = ALCH\n"
                               "NPC_.NPCS.Spell = SPEL,SPEL,ALCH\n"
                               "NPC_.CNDT.Cont = CONT\n");
    ASSERT_EQ(list.Count(), 2u) << "entries before the repeated type remain";
    EXPECT_EQ(list.Item(2).esLookupTypes.Count(), 1u);

    vellum::test::PromptRecorder quiet;
    Config none;
    none.OpenText("[NPC_]\nPropID = NAME:ID\n");
    BuildTextLookupList(list, none);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.estlRecordTypes().Count(), 0u) << "no @TEXTLOOKUP group: nothing is a lookup";
}
