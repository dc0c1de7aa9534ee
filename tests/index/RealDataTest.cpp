#include "IntegrityFixture.h"

#include "index/RefIndexReader.h"
#include "index/ReferenceReader.h"
#include "index/References.h"
#include "model/Text.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

using namespace vellum;
using namespace vellum::test;

namespace {

// "<record> <subrecord type>.<property> = <ID>" per entry of a reference index.
std::multiset<std::string> ReadIndex(const std::filesystem::path& rdx) {
    std::multiset<std::string> out;
    RefIndexReader r;
    if (!r.OpenRefIndex(rdx)) return out;
    RefIndexView v;
    while (!r.bEndOfRefIndex && r.NextRefIndexView(v))
        if (!v.ID.empty())
            out.insert(std::to_string(v.RecordIndex) + " " + std::string(v.SubrecordType) + "." +
                       std::string(v.PropertyName) + " = " + std::string(v.ID));
    return out;
}

// The records most references name (through a lookup that may name their type), most first,
// with their IDs: only IDs that are one word and no part of another ID of the file, so that a
// whole-word search finds them and nothing else.
std::vector<std::pair<int, std::string>> MostReferenced(esfile& f, const std::vector<DecodedRef>& refs,
                                                        const esTextLookups& lookups, std::size_t most) {
    std::map<int, int> counts;
    for (const DecodedRef& ref : refs)
        for (int at : vellum::ReferencedRecords(f, *lookups.Find(ref.recordType, ref.subType, ref.property), ref.value))
            if (at > 0) ++counts[at];
    std::vector<std::pair<int, int>> ranked;
    for (const auto& [at, n] : counts) ranked.emplace_back(n, at);
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> ids;
    for (const RecordEntry& r : f.Records()) ids.push_back(ToUpper(r.ID));
    auto partOfAnother = [&](const std::string& id) {
        const std::string upper = ToUpper(id);
        return std::any_of(ids.begin(), ids.end(), [&](const std::string& other) {
            if (other == upper) return false;
            for (std::size_t at = other.find(upper); at != std::string::npos; at = other.find(upper, at + 1)) {
                const std::size_t end = at + upper.size();
                const auto word = [&](std::size_t i) {
                    return std::isalnum(static_cast<unsigned char>(other[i])) || other[i] == '_';
                };
                if ((at == 0 || !word(at - 1)) && (end == other.size() || !word(end))) return true;
            }
            return false;
        });
    };
    std::vector<std::pair<int, std::string>> out;
    for (const auto& [n, at] : ranked) {
        const std::string& id = f.Records()[static_cast<std::size_t>(at)].ID;
        if (id.empty() || id.find(' ') != std::string::npos ||
            std::count(ids.begin(), ids.end(), ToUpper(id)) != 1 || partOfAnother(id))
            continue;
        out.emplace_back(at, id);
        if (out.size() == most) break;
    }
    return out;
}

// Subrecords that are no reference, whatever words they hold: text for people to read (what a
// response says, names and texts shown in the game, the file's description) and file names.
bool NotAReference(const std::string& place) {
    const std::string type = place.substr(0, 4), sub = place.substr(place.rfind(' ') + 1);
    if (type == "TES3" || sub == "MODL" || sub == "ITEX") return true;
    if (type == "INFO") return sub == "NAME" || sub == "SNAM";
    return sub == "FNAM" || sub == "DESC" || sub == "TEXT";
}

// A place ("<TYPE> <ID> <SUB>") the last operation reported as left naming the ID.
bool Reported(esFiles& files, const std::string& place) {
    return std::any_of(files.Unchanged().begin(), files.Unchanged().end(), [&](const UnchangedPlace& p) {
        return KeysEqual(place, p.RecordKey.substr(0, 4) + " " + p.RecordID + " " + p.SubrecordKey.substr(0, 4));
    });
}

class RealData : public ::testing::TestWithParam<std::filesystem::path> {
protected:
    void SetUp() override {
        VELLUM_REQUIRE_SHARED();
        BuildTextLookupList(lookups, t.templ);
        key = t.OpenPath(GetParam());
    }
    IntegrityTest t{ShippedTemplateText()};
    esTextLookups lookups;
    std::string key;
};

} // namespace

// The reference index lists exactly the references a full decode of the file finds.
TEST_P(RealData, ReferenceIndexAgreesWithAFullDecode) {
    esfile& f = t.File(key);
    const std::multiset<std::string> indexed = ReadIndex(t.files->Indexer().RefIndexPath(f));
    const std::vector<DecodedRef> refs = DecodeAllReferences(f, lookups);
    std::multiset<std::string> decoded;
    for (const DecodedRef& r : refs)
        decoded.insert(std::to_string(r.record) + " " + r.subType + "." + r.property + " = " + ToUpper(r.value));
    auto fiveMissing = [](const std::multiset<std::string>& from, const std::multiset<std::string>& to) {
        std::vector<std::string> out;
        std::set_difference(from.begin(), from.end(), to.begin(), to.end(), std::back_inserter(out));
        out.resize(std::min<std::size_t>(out.size(), 5));
        return out;
    };
    EXPECT_EQ(fiveMissing(decoded, indexed), std::vector<std::string>{}) << "not indexed";
    EXPECT_EQ(fiveMissing(indexed, decoded), std::vector<std::string>{}) << "indexed, not decoded";
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
}

// The most referenced records of every shared file, deleted safely or renamed, leave bytes that
// agree with themselves: every count follows what it counts, every response list links both
// ways, and no subrecord names the old ID as a word but the places reported unchanged (and
// those that are no reference). esmtool reads the result whenever it reads the input.
TEST_P(RealData, SafeDeleteAndRenameLeaveAFileThatAgreesWithItself) {
    const Bytes original = ReadBytes(GetParam());
    const int readable = EsmtoolStatus(GetParam());
    for (const auto& [at, id] : MostReferenced(t.File(key), DecodeAllReferences(t.File(key), lookups), lookups, 2)) {
        for (const bool rename : {false, true}) {
            SCOPED_TRACE((rename ? "rename " : "delete ") + id);
            IntegrityTest run{ShippedTemplateText()};
            const std::string k = run.OpenPath(GetParam());
            esfile& f = run.File(k);
            if (!rename) run.SafeDelete(k, at);
            else if (!run.Rename(k, at, "vellum_renamed", true)) continue; // a composite ID
            run.prompt.calls.clear();
            const std::filesystem::path out = run.dir / "out.esp";
            ASSERT_TRUE(f.Save(out.string(), "out.esp"));
            const Bytes saved = ReadBytes(out);
            EXPECT_EQ(WrongCounts(saved, original), std::vector<std::string>{});
            EXPECT_EQ(BrokenChains(saved), std::vector<std::string>{});
            std::vector<std::string> left = PlacesNaming(saved, id);
            std::erase_if(left, [&](const std::string& place) {
                return NotAReference(place) || Reported(*run.files, place);
            });
            EXPECT_EQ(left, std::vector<std::string>{});
            if (readable == 0) {
                EXPECT_EQ(EsmtoolStatus(out), 0);
            }
            EXPECT_TRUE(run.prompt.calls.empty()) << run.prompt.calls.front().text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, RealData, ::testing::ValuesIn(SharedPlugins()), PluginTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RealData);

// An NPC of a master with everything it relies on, copied into a blank plug-in through the
// clipboard, saved and read back; a second paste in merge mode adds no record.
TEST(RealDataTransfer, NpcWithItsAncestorsIntoABlankPlugin) {
    VELLUM_REQUIRE_SHARED();
    IntegrityTest t{ShippedTemplateText()};
    const std::string master = t.OpenPath(PluginsDir() / "firemoth.esm");
    std::filesystem::copy_file(PluginsDir() / "blank.esp", t.dir / "blank.esp");
    const std::string blank = t.OpenPath(t.dir / "blank.esp");
    t.prompt.calls.clear();
    esfile& m = t.File(master);
    const int npc = FindRecordByID(m, "fm_aronil");
    ASSERT_GT(npc, 0);
    t.files->RecurseRelatives(master, m.Records()[static_cast<std::size_t>(npc)].Key, {}, kRecurseAncestors, false,
                              kOpCopy, true, {}, nullptr);
    std::vector<std::pair<std::string, std::string>> copied;
    for (const auto& e : t.files->esRelatives()) copied.emplace_back(e.value.RecordType, e.value.ID);
    ASSERT_GT(copied.size(), 1u) << "the NPC relies on a script at least";
    m.PackRecord(npc);
    const Bytes npcBytes = m.Records()[static_cast<std::size_t>(npc)].Data.ToBytes();
    t.files->ProcessRelatives({}, nullptr);
    EXPECT_EQ(t.files->ClipboardFile().Records().size(), copied.size() + 1);
    EXPECT_EQ(m.Records()[static_cast<std::size_t>(npc)].CopyLevel, 0);

    t.files->Paste(blank, PasteMode::Replace, nullptr);
    const std::string saved = t.SaveAndReopen(blank, "pasted.esp");
    esfile& p = t.File(saved);
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
    for (const auto& [type, id] : copied) {
        const auto* cat = p.esRecArrayCatIndex().Item(type);
        EXPECT_TRUE(cat && cat->esRecIDIndex.Exists(id)) << type << " " << id;
    }
    const int pasted = FindRecordByID(p, "fm_aronil");
    ASSERT_GT(pasted, 0);
    p.PackRecord(pasted);
    EXPECT_EQ(p.Records()[static_cast<std::size_t>(pasted)].Data.ToBytes(), npcBytes);
    EXPECT_EQ(AnnouncedCount(p), static_cast<std::int64_t>(p.Records().size()) - 1);

    const std::size_t before = p.Records().size();
    t.files->Paste(saved, PasteMode::Merge, nullptr);
    EXPECT_EQ(p.Records().size(), before) << "every clipboard record has its twin: merged, not added";
    EXPECT_GE(t.files->ClipboardFile().Records().size(), 2u) << "the clipboard keeps its contents";
}

// A master open with a plug-in that uses its most referenced item and actor in every way the
// plug-in can (a levelled list, cell references, responses by speaker and by condition, a
// result script, a script): a delete or rename in the master reaches the plug-in, which is left
// agreeing with itself, read by esmtool, and naming the ID only where it was told.
TEST(RealDataDependents, DeleteAndRenameInAMasterReachAPluginThatUsesIt) {
    VELLUM_REQUIRE_SHARED();
    const std::filesystem::path masterPath = PluginsDir() / "patch_for_purists.esm";
    IntegrityTest probe{ShippedTemplateText()};
    esTextLookups lookups;
    BuildTextLookupList(lookups, probe.templ);
    esfile& pfp = probe.File(probe.OpenPath(masterPath));
    std::string item, actor;
    for (const auto& [at, id] : MostReferenced(pfp, DecodeAllReferences(pfp, lookups), lookups, 400)) {
        const std::string& type = pfp.Records()[static_cast<std::size_t>(at)].Name;
        if (item.empty() && (type == "MISC" || type == "WEAP" || type == "ARMO" || type == "CLOT")) item = id;
        if (actor.empty() && type == "NPC_") actor = id;
    }
    ASSERT_FALSE(item.empty());
    ASSERT_FALSE(actor.empty());
    const Bytes interior = Concat({Int32(1), Int32(0), Int32(0)});
    const Bytes position(24, 0);
    const Bytes info(12, 0);
    const Bytes plugin = Concat({
        HeaderRecord(7, 1, {{"PATCH_FOR_PURISTS.ESM", 0}}),
        RecordBytes("LEVI", {{"NAME", Text("vt_list")}, {"DATA", Int32(0)}, {"NNAM", Bytes{0}}, {"INDX", Int32(2)},
                             {"INAM", Text(item)}, {"INTV", Bytes{1, 0}},
                             {"INAM", Text("vt_other")}, {"INTV", Bytes{2, 0}}}),
        RecordBytes("CELL", {{"NAME", Text("vt_cell")}, {"DATA", interior}, {"NAM0", Int32(2)},
                             {"FRMR", Int32(1)}, {"NAME", Text(item)}, {"DATA", position},
                             {"FRMR", Int32(2)}, {"NAME", Text(actor)}, {"DATA", position}}),
        RecordBytes("DIAL", {{"NAME", Text("vt_topic")}, {"DATA", Bytes{0}}}),
        RecordBytes("INFO", {{"INAM", Text("vt1")}, {"PNAM", Text("")}, {"NNAM", Text("vt2")}, {"DATA", info},
                             {"ONAM", Text(actor)}}),
        RecordBytes("INFO", {{"INAM", Text("vt2")}, {"PNAM", Text("vt1")}, {"NNAM", Text("vt3")}, {"DATA", info},
                             {"SCVR", Text("05IX0" + item, false)}, {"INTV", Int32(1)}}),
        RecordBytes("INFO", {{"INAM", Text("vt3")}, {"PNAM", Text("vt2")}, {"NNAM", Text("")}, {"DATA", info},
                             {"BNAM", Text("player->AddItem \"" + item + "\" 1", false)}}),
        RecordBytes("SCPT", {{"SCHD", Concat({Text("vt_script", false), Bytes(23, 0), Bytes(20, 0)})},
                             {"SCTX", Text("begin vt_script\r\nplayer->additem " + item + " 1\r\nend", false)}}),
    });
    for (const std::string& id : {item, actor}) {
        for (const bool rename : {false, true}) {
            SCOPED_TRACE((rename ? "rename " : "delete ") + id);
            IntegrityTest t{ShippedTemplateText()};
            const std::string master = t.OpenPath(masterPath);
            const std::string p = t.Open(plugin, "vt.esp");
            const int at = FindRecordByID(t.File(master), id);
            if (rename) ASSERT_TRUE(t.Rename(master, at, "vt_renamed"));
            else t.SafeDelete(master, at);
            EXPECT_TRUE(t.File(p).Changed);
            const std::filesystem::path out = t.dir / "vt2.esp";
            ASSERT_TRUE(t.File(p).Save(out.string(), "vt2.esp"));
            const Bytes saved = ReadBytes(out);
            EXPECT_EQ(WrongCounts(saved), std::vector<std::string>{});
            EXPECT_EQ(BrokenChains(saved), std::vector<std::string>{});
            std::vector<std::string> left = PlacesNaming(saved, id);
            std::erase_if(left, [&](const std::string& place) { return Reported(*t.files, place); });
            EXPECT_EQ(left, std::vector<std::string>{});
            if (id == item) {
                EXPECT_FALSE(t.files->Unchanged().empty()) << "the script source at least is reported";
            }
            EXPECT_EQ(EsmtoolStatus(out), 0);

            // Undone, both files save as they were read.
            t.files->History().Undo();
            for (const auto& [key, input] : {std::pair{master, masterPath}, std::pair{p, t.dir / "vt.esp"}}) {
                const std::filesystem::path undone = t.dir / ("undone" + input.extension().string());
                ASSERT_TRUE(t.File(key).Save(undone.string()));
                EXPECT_EQ(ReadBytes(undone), ReadBytes(input)) << input;
            }
        }
    }
}
