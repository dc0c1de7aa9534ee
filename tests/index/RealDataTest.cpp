#include "IntegrityFixture.h"

#include "index/ChangeRecordID.h"
#include "index/RefIndexReader.h"
#include "index/ReferenceReader.h"
#include "index/References.h"
#include "model/Text.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Records of the file that something refers to through a lookup that may name their type.
std::vector<int> ReferencedRecords(esfile& f, const std::vector<DecodedRef>& refs, const esTextLookups& lookups,
                                   std::size_t most) {
    std::vector<int> out;
    std::set<int> seen;
    for (const DecodedRef& ref : refs) {
        const esTextLookup* tl = lookups.Find(ref.recordType, ref.subType, ref.property);
        for (int at : vellum::ReferencedRecords(f, *tl, ref.value))
            if (at > 0 && seen.insert(at).second) out.push_back(at);
        if (out.size() >= most) break;
    }
    return out;
}

// References naming `id` through a lookup that may name `type`.
std::vector<DecodedRef> Naming(const std::vector<DecodedRef>& refs, const esTextLookups& lookups,
                               const std::string& type, const std::string& id) {
    std::vector<DecodedRef> out;
    for (const DecodedRef& ref : refs)
        if (KeysEqual(ref.value, id) && lookups.Find(ref.recordType, ref.subType, ref.property)->Targets(type))
            out.push_back(ref);
    return out;
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

// The reference index lists exactly the references a full decode of the file finds, and the
// references browser lists for a record exactly the decoded references to its ID and from it.
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

    for (int at : ReferencedRecords(f, refs, lookups, 25)) {
        const RecordEntry& r = f.Records()[static_cast<std::size_t>(at)];
        std::multiset<std::string> expected, listed;
        for (const DecodedRef& d : refs) {
            if (KeysEqual(d.value, r.ID))
                expected.insert("descendant " + d.recordType + " " + d.recordID + " " + d.subType + "." + d.property);
            if (d.record != at) continue;
            for (int target : vellum::ReferencedRecords(f, *lookups.Find(d.recordType, d.subType, d.property), d.value)) {
                const RecordEntry& a = f.Records()[static_cast<std::size_t>(target)];
                expected.insert("ancestor " + a.Name + " " + a.ID + " " + d.subType + "." + d.property);
            }
        }
        for (const ReferenceRow& row : BrowseReferences(f, t.files->Indexer(), at, nullptr))
            listed.insert(std::string(row.Type == ReferenceRow::Descendant ? "descendant " : "ancestor ") +
                          row.RecordType + " " + row.ID + " " + row.SubrecordType + "." + row.PropertyName);
        EXPECT_EQ(listed, expected) << r.Key << " " << r.ID;
    }
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
}

// A safe delete leaves no reference to the deleted records (Clear empties them), a right
// header count and a file that reloads without a warning.
TEST_P(RealData, SafeDeleteLeavesNoDanglingReference) {
    const std::vector<DecodedRef> refs = DecodeAllReferences(t.File(key), lookups);
    const std::vector<int> targets = ReferencedRecords(t.File(key), refs, lookups, 3);
    for (std::size_t n = 0; n < targets.size(); ++n) {
        IntegrityTest run{ShippedTemplateText()};
        const std::string k = run.OpenPath(GetParam());
        esfile& f = run.File(k);
        const RecordEntry target = f.Records()[static_cast<std::size_t>(targets[n])];
        SCOPED_TRACE(target.Key + " " + target.ID);
        run.files->RecurseRelatives(k, target.Key, {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
        std::vector<std::pair<std::string, std::string>> gone; // type, ID of every deleted record
        for (const auto& e : run.files->esRelatives())
            if (e.value.IsRecord() && e.value.Action == kDelete) gone.emplace_back(e.value.RecordType, e.value.ID);
        run.files->ProcessRelatives({}, nullptr);

        run.prompt.calls.clear();
        const std::string reopened = run.SaveAndReopen(k, "deleted.esp");
        EXPECT_TRUE(run.prompt.calls.empty()) << run.prompt.calls.front().text;
        esfile& r = run.File(reopened);
        EXPECT_EQ(AnnouncedCount(r), static_cast<std::int64_t>(r.Records().size()) - 1);
        const std::vector<DecodedRef> after = DecodeAllReferences(r, lookups);
        for (const auto& [type, id] : gone) {
            if (id.empty()) continue;
            const auto* cat = r.esRecArrayCatIndex().Item(type);
            if (cat && cat->esRecIDIndex.Exists(id)) continue; // another record of that type has the ID
            for (const DecodedRef& d : Naming(after, lookups, type, id))
                ADD_FAILURE() << d.recordType << " " << d.recordID << " " << d.subKey << "." << d.property
                              << " still names " << type << " " << id;
        }
    }
}

// A rename rewrites exactly the references to the old ID and nothing else of their subrecords.
TEST_P(RealData, RenameRepairsEveryReference) {
    esfile& f = t.File(key);
    const std::vector<DecodedRef> refs = DecodeAllReferences(f, lookups);
    for (int at : ReferencedRecords(f, refs, lookups, 2)) {
        const RecordEntry target = f.Records()[static_cast<std::size_t>(at)];
        const auto* cat = f.esRecArrayCatIndex().Item(target.Name);
        if (cat->esIDs.Count() != 1 || cat->esRecIDIndex.Item(target.ID).IndexNumber != at) continue;
        SCOPED_TRACE(target.Key + " " + target.ID);
        const std::string newID = "vellum_renamed_" + std::to_string(at);
        const std::vector<DecodedRef> before = Naming(refs, lookups, target.Name, target.ID);
        std::map<std::pair<int, std::string>, Properties> subsBefore;
        for (const DecodedRef& d : before) subsBefore[{d.record, d.subKey}] = Decoded(f, d.record, d.subKey);

        ASSERT_TRUE(ChangeRecordID(f, at, newID));
        esCheckedEntries list;
        esCheckedEntry& c = list.Add("x", key, target.Key);
        c.OldID = target.ID;
        c.NewID = newID;
        struct Count : esCallbackStringValue {
            int n = 0;
            void CallBack(std::string_view, std::string_view) override { ++n; }
        } count;
        t.files->ChangeIDReferences(key, list, false, &count);
        EXPECT_EQ(count.n, static_cast<int>(before.size()));

        for (auto& [where, props] : subsBefore) {
            const Properties& now = Decoded(f, where.first, where.second);
            ASSERT_EQ(now.Count(), props.Count());
            for (std::size_t i = 1; i <= now.Count(); ++i) {
                const Property& a = props.Item(i);
                const Property& b = now.Item(i);
                const bool wasReference = std::any_of(before.begin(), before.end(), [&](const DecodedRef& d) {
                    return d.record == where.first && d.subKey == where.second && d.property == a.Name;
                });
                if (wasReference) EXPECT_EQ(b.Text(), newID) << a.Name;
                else EXPECT_EQ(b.Text(), a.Text()) << a.Name << " must not change";
            }
        }
        const std::string reopened = t.SaveAndReopen(key, "renamed.esp");
        const std::vector<DecodedRef> saved = DecodeAllReferences(t.File(reopened), lookups);
        EXPECT_TRUE(Naming(saved, lookups, target.Name, target.ID).empty());
        EXPECT_EQ(Naming(saved, lookups, target.Name, newID).size(), before.size());
        EXPECT_GE(FindRecordByID(t.File(reopened), newID), 0);
        t.files->Remove(reopened);
        return; // one rename per file keeps the suite quick
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
