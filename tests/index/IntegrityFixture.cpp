#include "IntegrityFixture.h"

#include "index/ReferenceReader.h"
#include "index/References.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vellum::test {

namespace {
// A record type whose required, unique ID subrecord names its records.
std::string IdGroup(const std::string& type, const std::string& instructions = {}, const std::string& sub = "NAME") {
    return "[" + type + "]\n" + instructions + "PropID = " + sub + ":ID\n[" + type + "." + sub +
           "]\n@REQUIREMENT = 2\n@Unique\nID = STRING\n";
}

Bytes Fixed(std::string_view s, std::size_t n) {
    Bytes b = Text(s, false);
    b.resize(n, 0);
    return b;
}
} // namespace

const std::string kIntegrityTemplate =
    std::string("[@FILESEQUENCE]\nTES3\nNOSEQUENCE\n[TES3]\n@Unique\n") + kHeaderTemplate + IdGroup("SCPT") + IdGroup("FACT") +
    IdGroup("SPEL") + IdGroup("MISC") + R"([MISC.SCRI]
@Unique
Script = STRING
)" + IdGroup("NPC_") + R"([NPC_.ANAM]
@REQUIREMENT = 2
@Unique
@AllowNull
Faction = STRING
[NPC_.SCRI]
@REQUIREMENT = 2
@Unique
Script = STRING
[NPC_.NPCO]
Count = LONG,4
Item = STRING,32
[NPC_.NPCS]
Spell = STRING,32
)" + IdGroup("DIAL", "@PrecedesChildren = INFO\n") + IdGroup("INFO", "@FollowsParent\n", "INAM") + R"([INFO.ONAM]
Actor = STRING
)" + IdGroup("CONT") + R"([CONT.NPCO]
@STARTGROUP = Item
@REQUIREMENT = 1
Count = LONG,4
Item = STRING,32
[CONT.XIDX]
Index = LONG,4
[@TEXTLOOKUP]
CONT.NPCO.Item = MISC
NPC_.ANAM.Faction = FACT
NPC_.SCRI.Script = SCPT
NPC_.NPCO.Item = MISC
NPC_.NPCS.Spell = SPEL
MISC.SCRI.Script = SCPT
INFO.ONAM.Actor = NPC_
)";

Bytes Npco(std::int32_t count, std::string_view item) { return Concat({Int32(count), Fixed(item, 32)}); }

Bytes SampleFile() {
    return Concat({
        HeaderRecord(9),
        RecordBytes("SCPT", {{"NAME", Text("scr_a")}}),
        RecordBytes("FACT", {{"NAME", Text("fac_a")}}),
        RecordBytes("MISC", {{"NAME", Text("gold")}, {"SCRI", Text("scr_a")}}),
        RecordBytes("SPEL", {{"NAME", Text("spl")}}),
        RecordBytes("NPC_", {{"NAME", Text("npc_a")},
                             {"ANAM", Text("fac_a")},
                             {"SCRI", Text("SCR_A")},
                             {"NPCO", Npco(1, "gold")},
                             {"NPCO", Npco(2, "Gold")},
                             {"NPCS", Fixed("spl", 32)}}),
        RecordBytes("NPC_", {{"NAME", Text("npc_b")},
                             {"ANAM", Text("fac_a")},
                             {"SCRI", Text("")},
                             {"NPCO", Npco(5, "gold")}}),
        RecordBytes("DIAL", {{"NAME", Text("topic")}}),
        RecordBytes("INFO", {{"INAM", Text("i1")}, {"ONAM", Text("npc_a")}}),
        RecordBytes("INFO", {{"INAM", Text("i2")}, {"ONAM", Text("npc_b")}}),
    });
}

IntegrityTest::IntegrityTest(const std::string& templateText) {
    templ.OpenText(templateText);
    files = std::make_unique<esFiles>(templ, dir.path() / "Indices");
}

IntegrityTest::IntegrityTest(const std::filesystem::path& templateFile) {
    templ.OpenFile(templateFile.string());
    files = std::make_unique<esFiles>(templ, dir.path() / "Indices");
}

std::string IntegrityTest::Open(const Bytes& bytes, const std::string& name) {
    WriteBytes(dir / name, bytes);
    return OpenPath(dir / name);
}

std::string IntegrityTest::OpenPath(const std::filesystem::path& path) {
    const std::string key = path.string();
    esfile* f = files->Add(key);
    EXPECT_NE(f, nullptr) << key;
    if (!f) return key;
    f->FileTitle = path.filename().string();
    EXPECT_EQ(f->LoadFile(key, true, false), esfile::kLoaded) << key;
    return key;
}

int IntegrityTest::IndexOfID(const std::string& key, const std::string& id) {
    return FindRecordByID(File(key), id);
}

std::string IntegrityTest::SaveAndReopen(const std::string& key, const std::string& name) {
    const std::filesystem::path out = dir / name;
    EXPECT_TRUE(File(key).Save(out.string(), name));
    return OpenPath(out);
}

bool DecodedRef::operator<(const DecodedRef& o) const {
    return std::tie(record, subKey, property, value) < std::tie(o.record, o.subKey, o.property, o.value);
}

std::vector<DecodedRef> DecodeAllReferences(esfile& file, const esTextLookups& lookups) {
    std::vector<DecodedRef> refs;
    auto& records = file.Records();
    for (std::size_t i = 1; i < records.size(); ++i) {
        const std::string type = records[i].Name;
        if (!lookups.estlRecordTypes().Exists(type)) continue;
        const int index = static_cast<int>(i);
        const bool packed = records[i].Packed;
        for (const std::string& key : SubrecordKeys(file, index)) {
            if (!file.UnpackSubRecord(index, key)) continue;
            const Subrecord& s = records[i].SubRecords->Item(key);
            for (const auto& p : s.Properties) {
                if (!p.value.TextLookup) continue; // the codec's own verdict, not the scan's list
                std::string value(ReferenceReader::CleanText(p.value.Text()));
                if (value.empty()) continue;
                refs.push_back({index, type, records[i].ID, key, s.Name, p.value.Name, value});
            }
        }
        if (packed) file.PackRecord(index);
    }
    return refs;
}

} // namespace vellum::test
