#include "IntegrityFixture.h"

#include "index/IndexFileWriter.h"
#include "index/Marks.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace vellum;
using namespace vellum::test;

namespace {

// "<action> <generation> <key>" per entry, for compact expectations.
std::vector<std::string> Listing(esFiles& files, const std::string& fileKey) {
    std::vector<std::string> out;
    for (const auto& e : files.esRelatives()) {
        const esRelative& r = e.value;
        std::string key = r.RecordKey + (r.SubRecordKey.empty() ? "" : "/" + r.SubRecordKey);
        out.push_back(std::to_string(r.Action) + " " + std::to_string(r.Generation) + " " + key);
    }
    return out;
}

struct Scan : IntegrityTest {
    std::string key = Open(SampleFile());
    esfile& f = File(key);

    void Delete(const std::string& id) {
        const std::string recordKey = f.Records()[static_cast<std::size_t>(IndexOfID(key, id))].Key;
        files->RecurseRelatives(key, recordKey, {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
    }
};

} // namespace

TEST(Relatives, DeleteFollowsDescendantsGenerationByGeneration) {
    Scan t;
    t.Delete("scr_a");
    // The item keeps its record (its SCRI is optional); the NPC cannot lose its required SCRI,
    // so the whole NPC goes, and with it the response that names the NPC.
    EXPECT_EQ(Listing(*t.files, t.key),
              (std::vector<std::string>{"0 0 SCPT1", "0 1 MISC3/SCRI", "0 1 NPC_5", "0 2 INFO8/ONAM"}));
    const esRelative& npc = t.files->esRelatives().Item(3);
    EXPECT_EQ(npc.RelativeType, kDescendant);
    EXPECT_EQ(npc.RelatedRecordKey, "SCPT1");
    EXPECT_EQ(npc.ID, "npc_a");

    t.files->ProcessRelatives({}, nullptr);
    EXPECT_EQ(t.IndexOfID(t.key, "scr_a"), -1);
    EXPECT_EQ(t.IndexOfID(t.key, "npc_a"), -1);
    ASSERT_GE(t.IndexOfID(t.key, "gold"), 0);
    std::string reopened = t.SaveAndReopen(t.key, "out.esp");
    esfile& r = t.File(reopened);
    EXPECT_EQ(r.Records().size(), 8u);
    esTextLookups lookups;
    BuildTextLookupList(lookups, t.templ);
    for (const DecodedRef& ref : DecodeAllReferences(r, lookups)) {
        EXPECT_FALSE(KeysEqual(ref.value, "scr_a")) << ref.recordID << " " << ref.subKey;
        EXPECT_FALSE(KeysEqual(ref.value, "npc_a")) << ref.recordID << " " << ref.subKey;
    }
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
}

TEST(Relatives, RequiredSubrecordThatAllowsNullIsCleared) {
    Scan t;
    t.Delete("fac_a");
    EXPECT_EQ(Listing(*t.files, t.key),
              (std::vector<std::string>{"0 0 FACT2", "3 1 NPC_5/ANAM", "3 1 NPC_6/ANAM"}));
    t.files->ProcessRelatives({}, nullptr);
    const int npc = t.IndexOfID(t.key, "npc_a");
    ASSERT_GT(npc, 0);
    t.f.UnPackRecord(npc);
    ASSERT_TRUE(t.f.UnpackSubRecord(npc, "ANAM"));
    EXPECT_EQ(t.f.Records()[static_cast<std::size_t>(npc)].SubRecords->Item("ANAM").Properties.Item(1).Text(), "")
        << "the property is emptied, the subrecord and its record stay";
    EXPECT_EQ(t.f.Records().size(), 9u);
}

TEST(Relatives, EveryReferringSubrecordIsListedOnce) {
    Scan t;
    t.Delete("gold"); // IDs match without letter case: "Gold" in the second NPCO counts
    EXPECT_EQ(Listing(*t.files, t.key),
              (std::vector<std::string>{"0 0 MISC3", "0 1 NPC_5/NPCO", "0 1 NPC_5/NPCO4", "0 1 NPC_6/NPCO"}));
    t.files->ProcessRelatives({}, nullptr);
    const int npc = t.IndexOfID(t.key, "npc_a");
    t.f.UnPackRecord(npc);
    std::vector<std::string> left;
    for (const auto& e : *t.f.Records()[static_cast<std::size_t>(npc)].SubRecords) left.push_back(e.value.Name);
    EXPECT_EQ(left, (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCS"}));
}

TEST(Relatives, UnreferencedRecordHasNoRelativesAndTakesItsChildren) {
    Scan t;
    t.Delete("topic");
    EXPECT_EQ(Listing(*t.files, t.key), (std::vector<std::string>{"0 0 DIAL7"}));
    t.files->ProcessRelatives({}, nullptr);
    EXPECT_EQ(t.f.Records().size(), 7u) << "the topic's responses follow their parent";
    EXPECT_EQ(t.IndexOfID(t.key, "i1"), -1);
    for (std::size_t i = 0; i < t.f.Records().size(); ++i) {
        const RecordEntry& r = t.f.Records()[i];
        ASSERT_TRUE(t.f.esRecArrayIndex().Exists(r.Key));
        EXPECT_EQ(t.f.esRecArrayIndex().Item(r.Key).IndexNumber, static_cast<int>(i));
    }
    EXPECT_TRUE(t.f.Changed);
}

TEST(Relatives, CutAndCopyProposeTheirDefaultActions) {
    for (int safeCut : {0, 1}) {
        Scan t;
        t.files->SafeCutBehaviour = static_cast<std::int16_t>(safeCut);
        t.files->RecurseRelatives(t.key, "NPC_6", {}, kRecurseBoth, false, kOpCut, true, {}, nullptr);
        const std::string cut = safeCut ? "1" : "0";
        EXPECT_EQ(Listing(*t.files, t.key),
                  (std::vector<std::string>{"1 0 NPC_6", cut + " 1 INFO9/ONAM", "2 1 FACT2", "2 1 MISC3",
                                            "2 2 SCPT1"}))
            << "ancestors of ancestors are found in the next generation";
    }
    Scan t;
    t.files->RecurseRelatives(t.key, "NPC_5", {}, kRecurseAncestors, false, kOpCopy, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files, t.key),
              (std::vector<std::string>{"2 0 NPC_5", "2 1 FACT2", "2 1 SCPT1", "2 1 MISC3", "2 1 SPEL4"}))
        << "the item found through two NPCO and the script found twice are listed once";
    EXPECT_TRUE(t.f.Records()[5].Packed) << "records the scan unpacked are packed again";
}

TEST(Relatives, SelectionFromTickedEntriesAndRecordTypes) {
    Scan t;
    esCheckedEntries& ticked = t.files->CheckedEntries(t.key);
    ticked.Add("a", t.key, "NPC_5", "NPCS");
    ticked.Add("b", t.key, "SPEL4");
    t.files->RecurseRelatives(t.key, {}, {}, kRecurseAncestors, true, kOpCopy, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files, t.key),
              (std::vector<std::string>{"2 0 NPC_5/NPCS", "2 0 SPEL4"}))
        << "a subrecord's ancestors come from that subrecord only; SPEL4 is listed once";

    t.files->RecurseRelatives(t.key, {}, {}, kRecurseDescendants, false, kOpDelete, true, "INFO", nullptr);
    EXPECT_EQ(Listing(*t.files, t.key), (std::vector<std::string>{"0 0 INFO8", "0 0 INFO9"}));
}

TEST(Relatives, CancelStopsTheScanAndIsServed) {
    struct Window : esCancelCallback {
        int called = 0;
        void CallbackCancel() override { ++called; }
    } window;
    Scan t;
    t.files->CancelProcess(&window);
    EXPECT_EQ(window.called, 1) << "served at once when nothing runs";
    RecordingProgress progress;
    progress.cancel = true;
    t.files->RecurseRelatives(t.key, "SCPT1", {}, kRecurseDescendants, false, kOpDelete, true, {}, &progress);
    EXPECT_EQ(t.files->esRelatives().Count(), 1u) << "the selection stays; nothing further is searched";
    EXPECT_FALSE(t.files->Busy);
}

TEST(Relatives, MissingOrStaleReferenceIndexYieldsNoDescendants) {
    Scan t;
    std::filesystem::remove(t.files->Indexer().RefIndexPath(t.f));
    t.Delete("scr_a");
    EXPECT_EQ(t.files->esRelatives().Count(), 1u);

    // An index written for another file: out-of-range and mistyped entries are ignored.
    IndexFileWriter w(t.files->Indexer().RefIndexPath(t.f));
    w.WriteRefEntry("scr_a", 99, 0, "NPC_", "SCRI", "Script");
    w.WriteRefEntry("scr_a", 2, 0, "NPC_", "SCRI", "Script");
    ASSERT_TRUE(w.Finish());
    t.Delete("scr_a");
    EXPECT_EQ(t.files->esRelatives().Count(), 1u);
    EXPECT_TRUE(t.prompt.calls.empty());
}

TEST(Relatives, SubrecordRequiredInItsGroupTakesTheGroupAlong) {
    IntegrityTest t;
    const std::string key = t.Open(Concat({HeaderRecord(2),
                                          RecordBytes("MISC", {{"NAME", Text("gold")}}),
                                          RecordBytes("CONT", {{"NAME", Text("chest")},
                                                               {"NPCO", Npco(1, "gold")},
                                                               {"XIDX", Int32(7)},
                                                               {"NPCO", Npco(3, "rope")},
                                                               {"XIDX", Int32(8)}})}));
    t.files->RecurseRelatives(key, "MISC1", {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files, key), (std::vector<std::string>{"0 0 MISC1", "0 1 CONT2/NPCO", "0 1 CONT2/XIDX"}));
    t.files->ProcessRelatives({}, nullptr);
    esfile& f = t.File(key);
    f.UnPackRecord(1);
    std::vector<std::string> left;
    for (const auto& e : *f.Records()[1].SubRecords) left.push_back(e.key);
    EXPECT_EQ(left, (std::vector<std::string>{"NAME", "NPCO", "XIDX"}));
    ASSERT_TRUE(f.UnpackSubRecord(1, "XIDX"));
    EXPECT_EQ(f.Records()[1].SubRecords->Item("XIDX").Properties.Item(1).Int(), 8) << "the other item keeps its index";
}

TEST(Relatives, ProgressTellsWhatTheScanDoes) {
    auto saw = [](const RecordingProgress& p, const std::string& text) {
        return std::any_of(p.reports.begin(), p.reports.end(), [&](const auto& r) { return r.second == text; });
    };
    Scan t;
    RecordingProgress progress;
    t.files->RecurseRelatives(t.key, "SCPT1", {}, kRecurseDescendants, false, kOpDelete, true, {}, &progress);
    EXPECT_TRUE(saw(progress, "Adding record SCPT1"));
    EXPECT_TRUE(saw(progress, "Adding Descendant Entry NPC_5/ npc_a"));
    EXPECT_TRUE(saw(progress, "Adding Descendant Entry MISC3/SCRI gold"));
    t.files->ProcessRelatives({}, &progress);
    EXPECT_TRUE(saw(progress, "Tagging Record SCPT1 scr_a"));
    EXPECT_EQ(progress.done, 1);

    Scan c;
    RecordingProgress copy;
    c.files->RecurseRelatives(c.key, "NPC_6", {}, kRecurseAncestors, false, kOpCopy, true, {}, &copy);
    EXPECT_TRUE(saw(copy, "Unpacking record NPC_6"));
    EXPECT_TRUE(saw(copy, "Checking: Record NPC_6 (npc_b)  / Subrecord ANAM"));
    EXPECT_TRUE(saw(copy, "Clearing subrecord headers for related record 1 of 2"));
    EXPECT_TRUE(saw(copy, "Packing related record 1"));
    c.files->ProcessRelatives({}, &copy);
    EXPECT_TRUE(saw(copy, "Checking Record FACT2 "));
    EXPECT_TRUE(saw(copy, "Copying Record NPC_6 "));
}

TEST(Relatives, AReferenceToAnIDNoRecordHoldsIsPassedOver) {
    IntegrityTest t;
    const std::string key = t.Open(Concat({HeaderRecord(2),
                                          RecordBytes("MISC", {{"NAME", Text("gold")}, {"SCRI", Text("gone_script")}}),
                                          RecordBytes("INFO", {{"INAM", Text("i1")}, {"ONAM", Text("nobody")}})}));
    t.files->RecurseRelatives(key, "MISC1", {}, kRecurseBoth, false, kOpCut, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files, key), (std::vector<std::string>{"1 0 MISC1"}));
    t.files->ProcessRelatives({}, nullptr);
    EXPECT_EQ(t.File(key).Records().size(), 2u);
    const auto& clip = t.files->ClipboardFile().Records();
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip[1].ID, "gold") << "a cut reaches the clipboard with its dangling reference";
    EXPECT_TRUE(t.prompt.calls.empty());
}
