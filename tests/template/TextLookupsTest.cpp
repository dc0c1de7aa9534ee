#include "template/Config.h"
#include "template/esTextLookups.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

// Rebuilds `list` from the template text; then each lookup as "key: REC.SUB.Property types" and
// the reverse index as "REC.SUB -> property".
std::string Rebuilt(esTextLookups& list, std::string_view templ) {
    vellum::test::PromptRecorder quiet;
    Config c;
    c.OpenText(templ);
    BuildTextLookupList(list, c);
    std::string out;
    for (const auto& e : list) {
        out += e.key + ": " + e.value.RecordType + "." + e.value.SubrecordType + "." + e.value.PropertyType;
        for (const auto& t : e.value.esLookupTypes) out += " " + t.value.Type;
        out += "\n";
    }
    for (const auto& r : list.estlRecordTypes())
        for (const auto& s : r.value.estlSubrecordTypes) out += r.key + "." + s.key + " -> " + s.value.IDProperty + "\n";
    return out;
}

} // namespace

// Names of fewer than three parts are ignored, later parts are no part of the property; the
// first property per four-character subrecord name holds the reverse index; a type repeated in
// one value stops the rebuild there, and a rebuild starts afresh.
TEST(TextLookups, EntriesTypesAndReverseIndex) {
    esTextLookups list;
    EXPECT_EQ(Rebuilt(list, "[@TEXTLOOKUP]\n"
                            "npc_.NPCO.Item = ALCH,APPA,ARMO\n"
                            "CELL.NAME\n"
                            "CELL.NAME.Name =\n"
                            "CELL.NAME_NEXT.Object = STAT\n"
                            "CELL.FRMR.Ref.Extra = NPC_\n"),
              "npc_.NPCO.Item: NPC_.NPCO.Item ALCH APPA ARMO\n"
              "CELL.NAME.Name: CELL.NAME.Name\n"
              "CELL.NAME_NEXT.Object: CELL.NAME_NEXT.Object STAT\n"
              "CELL.FRMR.Ref.Extra: CELL.FRMR.Ref NPC_\n"
              "NPC_.NPCO -> Item\n"
              "CELL.NAME -> Name\n"
              "CELL.FRMR -> Ref\n");
    EXPECT_TRUE(list.Item("NPC_.NPCO.ITEM").Targets("appa"));
    EXPECT_NE(list.Find("CELL", "NAME_NEXT", "Object"), nullptr);
    EXPECT_EQ(list.Find("CELL", "NAME_NEXT", "Name"), nullptr);
    ASSERT_NE(list.estlRecordTypes().Find("cell", "NAME_NEXT"), nullptr);
    EXPECT_EQ(list.estlRecordTypes().Find("cell", "NAME_NEXT")->IDProperty, "Name");
    EXPECT_EQ(list.estlRecordTypes().Find("CELL", "XXXX"), nullptr);
    EXPECT_EQ(list.estlRecordTypes().Find("BOOK", "NAME"), nullptr);

    EXPECT_EQ(Rebuilt(list, "[@TEXTLOOKUP]\nSPEL.X.A = ALCH\nNPC_.NPCS.Spell = SPEL,SPEL,ALCH\nNPC_.CNDT.Cont = CONT\n"),
              "SPEL.X.A: SPEL.X.A ALCH\nNPC_.NPCS.Spell: NPC_.NPCS.Spell SPEL\nSPEL.X -> A\nNPC_.NPCS -> Spell\n");
    EXPECT_EQ(Rebuilt(list, "[NPC_]\nPropID = NAME:ID\n"), "") << "no @TEXTLOOKUP group: nothing is a lookup";
}
