#include "IntegrityFixture.h"

#include "index/ChangeRecordID.h"
#include "index/HistoryScope.h"
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
)" + IdGroup("DIAL", "@PrecedesChildren = INFO\n") + IdGroup("INFO", "@FollowsParent\n", "INAM") + R"([INFO.PNAM]
@REQUIREMENT = 2
@AllowNull
@Chain = Previous
Previous = STRING
[INFO.NNAM]
@REQUIREMENT = 2
@AllowNull
@Chain = Next
Next = STRING
[INFO.ONAM]
@Filter
Actor = STRING
[INFO.SCVR]
@STARTGROUP = Condition
@REQUIREMENT = 1
@Filter
@Condition = Type
Slot = STRING,1
Type = STRING,1
Function = STRING,2
Comparison = STRING,1
Name = STRING
[INFO.INTV]
Value = LONG,4
[INFO.BNAM]
@ScriptText
Result = STRING
[SCPT.SCTX]
@ScriptText = Compiled,SCDT
Text = STRING
[SCPT.SCDT]
Code = BYTE
[TES3.MAST]
Name = STRING
[TES3.DATA]
Size = LONG64
)" + IdGroup("LEVI") + R"([LEVI.INDX]
@Counts = INAM
Count = LONG,4
[LEVI.INAM]
@STARTGROUP = Entry
@REQUIREMENT = 1
Item = STRING
[LEVI.INTV]
@REQUIREMENT = 1
Level = LONG,2
)" + IdGroup("CELL") + R"([CELL.NAM0]
@Counts = FRMR
@STARTGROUP = MAINRECORD
Temporary = LONG,4
[CELL.FRMR]
@STARTGROUP = Reference
@REQUIREMENT = 1
Index = LONG,4
[CELL.NAME_NEXT]
@REQUIREMENT = 1
Object = STRING
[@CONDITIONLOOKUP]
INFO.SCVR.Name.5 = MISC
INFO.SCVR.Name.6 = NPC_
INFO.SCVR.Name.3 = GLOB
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
INFO.PNAM.Previous = INFO
INFO.NNAM.Next = INFO
LEVI.INAM.Item = MISC
CELL.NAME_NEXT.Object = MISC,NPC_
)";

Bytes Npco(std::int32_t count, std::string_view item) { return Concat({Int32(count), Fixed(item, 32)}); }

Bytes Info(std::string_view id, std::string_view previous, std::string_view next, std::vector<Sub> more) {
    std::vector<Sub> subs{{"INAM", Text(id)}, {"PNAM", Text(previous)}, {"NNAM", Text(next)}};
    subs.insert(subs.end(), more.begin(), more.end());
    return RecordBytes("INFO", subs);
}

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

std::string IntegrityTest::KeyOf(const std::string& key, const std::string& id) {
    return File(key).Records()[static_cast<std::size_t>(IndexOfID(key, id))].Key;
}

void IntegrityTest::Relatives(const std::string& key, const std::string& id, int operation) {
    files->RecurseRelatives(key, KeyOf(key, id), {}, kRecurseDescendants, false, operation, true, {}, nullptr);
    files->ProcessRelatives({}, nullptr);
}

std::string IntegrityTest::SaveAndReopen(const std::string& key, const std::string& name) {
    const std::filesystem::path out = dir / name;
    EXPECT_TRUE(File(key).Save(out.string(), name));
    return OpenPath(out);
}

std::filesystem::path IntegrityTest::SaveCopy(const std::string& key) {
    esfile& f = File(key);
    const std::string name = f.SaveFileName, title = f.FileTitle;
    const auto out = dir / ("copy" + std::to_string(++copies_) + ".esp");
    EXPECT_TRUE(f.Save(out.string()));
    f.SaveFileName = name;
    f.FileTitle = title;
    return out;
}

std::vector<std::string> Listing(esFiles& files) {
    std::vector<std::string> out;
    for (const auto& e : files.esRelatives()) {
        const esRelative& r = e.value;
        out.push_back(std::to_string(r.Action) + " " + std::to_string(r.Generation) + " " + r.RecordKey +
                      (r.SubRecordKey.empty() ? "" : "/" + r.SubRecordKey));
    }
    return out;
}

bool IntegrityTest::Rename(const std::string& key, int index, const std::string& newID, bool allFiles,
                           esCallbackStringValue* lines, bool scripts) {
    HistoryScope step(files->History(), "Change ID");
    esfile& f = File(key);
    const std::string oldID = f.Records()[static_cast<std::size_t>(index)].ID;
    if (!ChangeRecordID(f, index, newID)) return false;
    esCheckedEntries list;
    esCheckedEntry& c = list.Add("x", key, f.Records()[static_cast<std::size_t>(index)].Key);
    c.OldID = oldID;
    c.NewID = newID;
    files->ChangeIDReferences(key, list, allFiles, lines, scripts);
    return true;
}

void IntegrityTest::ScanDelete(const std::string& key, const std::string& id, bool cut, Progress* progress) {
    files->RecurseRelatives(key, KeyOf(key, id), {}, kRecurseDescendants, false, cut ? kOpCut : kOpDelete, true, {},
                            progress);
}

void IntegrityTest::SafeDelete(const std::string& key, int index) {
    ScanDelete(key, File(key).Records()[static_cast<std::size_t>(index)].ID);
    files->ProcessRelatives({}, nullptr);
}

void ExpectIndexesAgree(const esfile& f) {
    std::size_t indexed = 0, named = 0;
    for (const auto& c : f.esRecArrayCatIndex())
        for (std::size_t k = 1; k <= c.value.esRecIDIndex.Count(); ++k) indexed += !c.value.esRecIDIndex.KeyAt(k).empty();
    for (std::size_t i = 0; i < f.Records().size(); ++i) {
        const RecordEntry& r = f.Records()[i];
        EXPECT_EQ(f.esRecArrayIndex().Item(r.Key).IndexNumber, static_cast<int>(i)) << r.Key;
        if (r.ID.empty()) continue;
        ++named;
        EXPECT_EQ(FindRecordByID(f, r.ID), static_cast<int>(i)) << r.ID;
    }
    EXPECT_EQ(indexed, named) << f.FileName;
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
