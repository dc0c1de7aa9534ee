#include "template/PropertyCodec.h"

#include "template/Config.h"
#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

// Packed record data: each subrecord as name, 32-bit size, data.
struct RecordData {
    Bytes bytes;
    RecordData& Sub(std::string_view name, const Bytes& d) {
        bytes = test::Concat({bytes, test::SubBytes({std::string(name), d})});
        return *this;
    }
    RecordData& Sub(std::string_view name, std::initializer_list<int> data) {
        return Sub(name, Bytes(data.begin(), data.end()));
    }
    RecordData& Text(std::string_view name, std::string_view text, bool zero = true) {
        return Sub(name, test::Text(text, zero));
    }
};

struct IDs {
    explicit IDs(std::string_view text) { templ.OpenText(text); }
    Config templ;
    PropertyCodec codec{templ};
};

RecordData Cell(std::string_view name, int flags, int x, int y) {
    const Bytes data = test::Concat({test::Int32(flags), test::Int32(x), test::Int32(y)});
    return RecordData().Text("NAME", name).Sub("DATA", data).Text("NAME", "ref_object");
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
    Bytes schd(32 + 4, 0);
    const std::string script = "MyScript";
    std::copy(script.begin(), script.end(), schd.begin());
    const struct {
        const char* what;
        const char* type;
        RecordData data;
        const char* id;
    } cases[] = {
        {"no PropID", "NOID", RecordData().Text("NAME", "rock"), ""},
        {"no group", "NONE", RecordData().Text("NAME", "rock"), ""},
        {"text, trimmed", "STAT", RecordData().Text("NAME", "rock_01  ").Text("MODL", "x.nif"), "rock_01"},
        {"short texts stay texts", "STAT", RecordData().Text("NAME", "Day"), "Day"},
        {"cut at the first zero", "STAT", RecordData().Sub("NAME", {'s', 'A', 0, 'x', 'y', 'z'}), "sA"},
        {"empty before the zero", "STAT", RecordData().Sub("NAME", {0, 'a', 'b', 'c', 'd', 'e'}), ""},
        {"unterminated", "STAT", RecordData().Text("NAME", "sName   ", false), "sName"},
        {"not first: found by walking", "STAT", RecordData().Text("MODL", "x.nif").Text("NAME", "later"), "later"},
        {"LONG", "LAND", RecordData().Sub("INTV", {0xFE, 0xFF, 0xFF, 0xFF}), "-2"},
        {"SHORT", "PGRD", RecordData().Sub("DATA", {0xFF, 0xFF}), "-1"},
        {"BYTE", "BYTE", RecordData().Sub("DATA", {200, 1}), "200"},
        {"other types give nothing", "FLOT", RecordData().Sub("DATA", {0, 0, 0x80, 0x3F}), ""},
        {"fixed text before other lines", "SCPT", RecordData().Sub("SCHD", schd), "MyScript"},
        {"located by the summed sizes", "SKIL", RecordData().Sub("INDX", {9, 9, 7, 0, 1}), "7"},
        {"past the end gives nothing", "SKIL", RecordData().Sub("INDX", {9, 9}), ""},
        {"composite", "CELL", Cell("Balmora", 0, -3, -2), "Balmora, -3, -2"},
        {"an empty part adds no separator", "CELL", Cell("", 0, 5, 7), "5, 7"},
        {"interior: name only", "CELL", Cell("Balmora, Guild", 1, 5, 7), "Balmora, Guild"},
        {"interior with more flags", "CELL", Cell("Hall", 3, 0, 0), "Hall"},
        {"hexadecimal parts", "REFR", RecordData().Text("NAME", "chest").Sub("FRMR", {0x1F, 0xAB, 0, 0, 0}),
         "chest0000AB1F"},
        {"the player", "REFR", RecordData().Text("NAME", "PlayerSaveGame").Sub("FRMR", {0, 0, 0, 0, 0}),
         "PlayerSaveGame"},
        {"all bits", "REFR", RecordData().Text("NAME", "x").Sub("FRMR", {0xFF, 0xFF, 0xFF, 0xFF, 0}), "xFFFFFFFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(t.codec.ReadID(c.type, c.data.bytes), c.id) << c.what;
}

TEST(ReadID, TruncatedRecordDataIsSafe) {
    IDs t("[GMST]\nPropID = NAME:ID,DATA:V\n[GMST.NAME]\nID = STRING\n[GMST.DATA]\nA = SHORT,2\nV = LONG,4\n");
    RecordData r;
    r.Text("NAME", "sAbc").Sub("DATA", {1, 0, 5, 0, 0, 0});
    for (std::size_t cut = 0; cut <= r.bytes.size(); ++cut) {
        Bytes part(r.bytes.begin(), r.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        std::string id = t.codec.ReadID("GMST", part);
        EXPECT_TRUE(id.empty() || id == "sAbc" || id == "sAbc, 5") << id;
    }
    EXPECT_EQ(t.codec.ReadID("GMST", r.bytes), "sAbc, 5");
}

TEST(ReadDescription, FromPropDesc) {
    IDs t("[NPC_]\nPropDesc = FNAM,Name\n[NPC_.FNAM]\nName = STRING\n"
          "[BOOK]\nPropDesc = BKDT,Value\n[BOOK.BKDT]\nWeight = SINGLE,4\nValue = LONG,4\n");
    EXPECT_EQ(t.codec.ReadDescription("NPC_", RecordData().Text("NAME", "x").Text("FNAM", "Caius Cosades").bytes),
              "Caius Cosades");
    EXPECT_EQ(t.codec.ReadDescription("BOOK", RecordData().Sub("BKDT", {0, 0, 0, 0, 25, 0, 0, 0}).bytes), "25");
    EXPECT_EQ(t.codec.ReadDescription("STAT", RecordData().Text("NAME", "x").bytes), "");
}
