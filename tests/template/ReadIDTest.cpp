#include "template/PropertyCodec.h"

#include "template/ListedID.h"
#include "TestRecords.h"
#include "TestSupport.h"
#include "TextCodec.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

// Packed record data: the subrecords without the record's header.
Bytes Data(const std::vector<test::Sub>& subs) {
    const Bytes record = test::RecordBytes("XXXX", subs);
    return Bytes(record.begin() + 16, record.end());
}
using test::Text;

using IDs = test::TextCodec;

Bytes Cell(std::string_view name, int flags, int x, int y) {
    const Bytes data = test::Concat({test::Int32(flags), test::Int32(x), test::Int32(y)});
    return Data({{"NAME", Text(name)}, {"DATA", data}, {"NAME", Text("ref_object")}});
}

} // namespace

TEST(ReadID, ByTheTemplatesPropID) {
    IDs t("[NOID]\n[NOID.NAME]\nID = STRING\n"
          "[STAT]\nPropID = NAME:ID\n[STAT.NAME]\nID = STRING\n"
          "[LAND]\nPropID = INTV:Grid\n[LAND.INTV]\nGrid = LONG,4\n"
          "[PGRD]\nPropID = DATA:X\n[PGRD.DATA]\nX = SHORT\n"
          "[BYTE]\nPropID = DATA:B\n[BYTE.DATA]\nB = BYTE,1\n"
          "[FLOT]\nPropID = DATA:F\n[FLOT.DATA]\nF = SINGLE\n"
          "[SCPT]\nPropID = SCHD:Name\n[SCPT.SCHD]\nName = STRING,32\nNumShorts = LONG,4\n"
          "[SKIL]\nPropID = INDX:Skill\n[SKIL.INDX]\nPad = BYTE,2\nSkill = SHORT,2\nRest = BYTE\n"
          "[CELL]\nPropID = NAME:Name,DATA:GridX,DATA:GridY\n[CELL.NAME]\nName = STRING\n"
          "[CELL.DATA]\nFlags = LONG,4\nGridX = LONG,4\nGridY = LONG,4\n"
          "[REFR]\n@HexID\nPropID = NAME:ID,FRMR:Index\n[REFR.NAME]\nID = STRING\n"
          "[REFR.FRMR]\nIndex = LONG,4\nPad = BYTE\n");
    Bytes schd = Text("MyScript");
    schd.resize(32 + 4, 0);
    const struct {
        const char* what;
        const char* type;
        Bytes data;
        const char* id;
    } cases[] = {
        {"no PropID", "NOID", Data({{"NAME", Text("rock")}}), ""},
        {"no group", "NONE", Data({{"NAME", Text("rock")}}), ""},
        {"text, trimmed", "STAT", Data({{"NAME", Text("rock_01  ")}, {"MODL", Text("x.nif")}}), "rock_01"},
        {"short texts stay texts", "STAT", Data({{"NAME", Text("Day")}}), "Day"},
        {"cut at the first zero", "STAT", Data({{"NAME", Bytes{'s', 'A', 0, 'x', 'y', 'z'}}}), "sA"},
        {"empty before the zero", "STAT", Data({{"NAME", Bytes{0, 'a', 'b', 'c', 'd', 'e'}}}), ""},
        {"unterminated", "STAT", Data({{"NAME", Text("sName   ", false)}}), "sName"},
        {"not first: found by walking", "STAT", Data({{"MODL", Text("x.nif")}, {"NAME", Text("later")}}), "later"},
        {"LONG", "LAND", Data({{"INTV", Bytes{0xFE, 0xFF, 0xFF, 0xFF}}}), "-2"},
        {"SHORT", "PGRD", Data({{"DATA", Bytes{0xFF, 0xFF}}}), "-1"},
        {"BYTE", "BYTE", Data({{"DATA", Bytes{200, 1}}}), "200"},
        {"other types give nothing", "FLOT", Data({{"DATA", Bytes{0, 0, 0x80, 0x3F}}}), ""},
        {"fixed text before other lines", "SCPT", Data({{"SCHD", schd}}), "MyScript"},
        {"located by the summed sizes", "SKIL", Data({{"INDX", Bytes{9, 9, 7, 0, 1}}}), "7"},
        {"past the end gives nothing", "SKIL", Data({{"INDX", Bytes{9, 9}}}), ""},
        {"composite", "CELL", Cell("Balmora", 0, -3, -2), "Balmora, -3, -2"},
        {"an empty part adds no separator", "CELL", Cell("", 0, 5, 7), "5, 7"},
        {"interior: name only", "CELL", Cell("Balmora, Guild", 1, 5, 7), "Balmora, Guild"},
        {"interior with more flags", "CELL", Cell("Hall", 3, 0, 0), "Hall"},
        {"hexadecimal parts", "REFR", Data({{"NAME", Text("chest")}, {"FRMR", Bytes{0x1F, 0xAB, 0, 0, 0}}}),
         "chest0000AB1F"},
        {"the player", "REFR", Data({{"NAME", Text("PlayerSaveGame")}, {"FRMR", Bytes{0, 0, 0, 0, 0}}}),
         "PlayerSaveGame"},
        {"all bits", "REFR", Data({{"NAME", Text("x")}, {"FRMR", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0}}}), "xFFFFFFFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(t.codec.ReadID(c.type, c.data), c.id) << c.what;
}

TEST(ReadDescription, FromPropDesc) {
    IDs t("[NPC_]\nPropDesc = FNAM,Name\n[NPC_.FNAM]\nName = STRING\n"
          "[BOOK]\nPropDesc = BKDT,Value\n[BOOK.BKDT]\nWeight = SINGLE,4\nValue = LONG,4\n");
    EXPECT_EQ(t.codec.ReadDescription("NPC_", Data({{"NAME", Text("x")}, {"FNAM", Text("Caius Cosades")}})),
              "Caius Cosades");
    EXPECT_EQ(t.codec.ReadDescription("BOOK", Data({{"BKDT", Bytes{0, 0, 0, 0, 25, 0, 0, 0}}})), "25");
    EXPECT_EQ(t.codec.ReadDescription("STAT", Data({{"NAME", Text("x")}})), "");
}

// Lists show an exterior cell by its name and grid, not by its ID; other IDs as they are.
TEST(ListedID, ExteriorCellsByNameAndGrid) {
    IDs t("[CELL]\n@HexID\nPropID = NAME:Name,DATA:GridX,DATA:GridY\n[CELL.NAME]\nName = STRING\n"
          "[CELL.DATA]\nFlags = LONG,4\nGridX = LONG,4\nGridY = LONG,4\n");
    const struct {
        const char* what;
        Bytes cell;
        const char* caption;
        const char* name;
    } cases[] = {
        {"named", Cell("Balmora", 0, -3, -2), "Balmora (-3, -2)", "Balmora"},
        {"unnamed", Cell("", 2, 5, 7), "Wilderness (5, 7)", "Wilderness"},
        {"far corners", Cell("Edge", 0, -2147483647 - 1, 2147483647), "Edge (-2147483648, 2147483647)", "Edge"},
        {"interior", Cell("Balmora, Guild of Mages", 1, 5, 7), "Balmora, Guild of Mages", "Balmora, Guild of Mages"},
    };
    for (const auto& c : cases) {
        const ListedID listed = ListedID::Of("CELL", t.codec.ReadID("CELL", c.cell));
        EXPECT_EQ(listed.caption, c.caption) << c.what;
        EXPECT_EQ(listed.name, c.name) << c.what;
    }
    // Other types keep their IDs, hexadecimal or not.
    EXPECT_EQ(ListedID::Of("LAND", "FFFFFFFD00000002").caption, "FFFFFFFD00000002");
    EXPECT_EQ(ListedID::Of("NPC_", "guard0000000100000002").name, "guard0000000100000002");
    EXPECT_EQ(ListedID::Of("CELL", "Vault 000000010000000g").caption, "Vault 000000010000000g");
}
