#include "IntegrityFixture.h"

#include "index/Marks.h"
#include "index/References.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace vellum;
using namespace vellum::test;

namespace {

bool Saw(const RecordingProgress& p, const std::string& text) {
    return std::any_of(p.reports.begin(), p.reports.end(), [&](const auto& r) { return r.second == text; });
}

struct Scan : IntegrityTest {
    std::string key = Open(SampleFile());
    esfile& f = File(key);
};

} // namespace

// A safe delete follows the descendants generation by generation, takes the default action
// for each, and leaves a file that reloads with no reference to what it deleted.
TEST(Relatives, SafeDeleteOfEachKindOfRecord) {
    const struct {
        const char* id;
        std::vector<std::string> listing, gone, progress;
        std::size_t records; // left after the delete
        std::function<void(Scan&)> more;
    } cases[] = {
        // The item keeps its record (its SCRI is optional); the NPC cannot lose its required
        // SCRI, so the whole NPC goes, and with it the response spoken by the NPC alone.
        {"scr_a", {"0 0 SCPT1", "0 1 MISC3/SCRI", "0 1 NPC_5", "0 2 INFO8"}, {"scr_a", "npc_a", "i1"},
         {"Adding record SCPT1", "Adding Descendant Entry NPC_5/ npc_a", "Adding Descendant Entry MISC3/SCRI gold",
          "Tagging Record SCPT1 scr_a"},
         7,
         [](Scan& t) {
             const esRelative& npc = t.files->esRelatives().Item(3);
             EXPECT_EQ(npc.RelativeType, kDescendant);
             EXPECT_EQ(npc.RelatedRecordKey, "SCPT1");
             EXPECT_EQ(npc.ID, "npc_a");
         }},
        // A required subrecord that allows null is cleared: the property is emptied, the
        // subrecord and its record stay.
        {"fac_a", {"0 0 FACT2", "3 1 NPC_5/ANAM", "3 1 NPC_6/ANAM"}, {"fac_a"}, {}, 9,
         [](Scan& t) { EXPECT_EQ(Decoded(t.f, t.IndexOfID(t.key, "npc_a"), "ANAM").Item(1).Text(), ""); }},
        // Every referring subrecord is listed once; IDs match without letter case ("Gold").
        {"gold", {"0 0 MISC3", "0 1 NPC_5/NPCO", "0 1 NPC_5/NPCO4", "0 1 NPC_6/NPCO"}, {"gold"}, {}, 9,
         [](Scan& t) {
             EXPECT_EQ(SubrecordNames(t.f, t.IndexOfID(t.key, "npc_a")),
                       (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCS"}));
         }},
        // Nothing refers to the topic; its responses follow it.
        {"topic", {"0 0 DIAL7"}, {"topic", "i1", "i2"}, {}, 7, [](Scan&) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        Scan t;
        RecordingProgress progress;
        t.ScanDelete(t.key, c.id, false, &progress);
        EXPECT_EQ(Listing(*t.files), c.listing);
        t.files->ProcessRelatives({}, &progress);
        EXPECT_EQ(progress.done, 1);
        for (const std::string& text : c.progress) EXPECT_TRUE(Saw(progress, text)) << text;
        EXPECT_EQ(t.f.Records().size(), c.records);
        EXPECT_TRUE(t.f.Changed);
        ExpectIndexesAgree(t.f);
        c.more(t);

        const Bytes saved = t.Saved(t.key);
        std::vector<std::string> ids;
        for (const RawRecord& r : RawRecords(saved)) ids.push_back(RawID(r));
        EXPECT_EQ(ids.size(), c.records);
        for (const std::string& id : c.gone) {
            EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 0) << id;
            EXPECT_EQ(PlacesNaming(saved, id), std::vector<std::string>{}) << id;
        }
        EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
    }
}

TEST(Relatives, CutAndCopyProposeTheirDefaultActions) {
    for (int safeCut : {0, 1}) {
        Scan t;
        t.files->Settings().SafeCutBehaviour = safeCut != 0;
        t.files->RecurseRelatives(t.key, "NPC_6", {}, kRecurseBoth, false, kOpCut, true, {}, nullptr);
        const std::string cut = safeCut ? "1" : "0";
        EXPECT_EQ(Listing(*t.files),
                  (std::vector<std::string>{"1 0 NPC_6", cut + " 1 INFO9", "2 1 FACT2", "2 1 MISC3", "2 2 DIAL7",
                                            "2 2 SCPT1"}))
            << "ancestors of ancestors are found in the next generation; a response brings its topic";
    }
    Scan t;
    t.files->RecurseRelatives(t.key, "NPC_5", {}, kRecurseAncestors, false, kOpCopy, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files),
              (std::vector<std::string>{"2 0 NPC_5", "2 1 FACT2", "2 1 SCPT1", "2 1 MISC3", "2 1 SPEL4"}))
        << "the item found through two NPCO and the script found twice are listed once";
    EXPECT_TRUE(t.f.Records()[5].Packed) << "records the scan unpacked are packed again";

    RecordingProgress copy;
    t.files->RecurseRelatives(t.key, "NPC_6", {}, kRecurseAncestors, false, kOpCopy, true, {}, &copy);
    t.files->ProcessRelatives({}, &copy);
    for (const char* text : {"Unpacking record NPC_6", "Checking: Record NPC_6 (npc_b)  / Subrecord ANAM",
                             "Clearing subrecord headers for related record 1 of 2", "Packing related record 1",
                             "Checking Record FACT2 ", "Copying Record NPC_6 "})
        EXPECT_TRUE(Saw(copy, text)) << text;
}

TEST(Relatives, SelectionFromTickedEntriesAndRecordTypes) {
    Scan t;
    esCheckedEntries& ticked = t.files->CheckedEntries(t.key);
    ticked.Add("a", t.key, "NPC_5", "NPCS");
    ticked.Add("b", t.key, "SPEL4");
    t.files->RecurseRelatives(t.key, {}, {}, kRecurseAncestors, true, kOpCopy, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"2 0 NPC_5/NPCS", "2 0 SPEL4"}))
        << "a subrecord's ancestors come from that subrecord only; SPEL4 is listed once";

    t.files->RecurseRelatives(t.key, {}, {}, kRecurseDescendants, false, kOpDelete, true, "INFO", nullptr);
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"0 0 INFO8", "0 0 INFO9"}));
}

// A cancel request is served at once when nothing runs, else when the running operation stops;
// a cancelled scan keeps its selection and searches nothing further.
TEST(Relatives, CancelIsServedAndStopsTheScan) {
    struct Window : esCancelCallback {
        int called = 0;
        void CallbackCancel() override { ++called; }
    } window;
    Scan t;
    t.files->CancelProcess(&window);
    EXPECT_EQ(window.called, 1);
    t.files->Busy = true;
    t.files->CancelProcess(&window);
    EXPECT_EQ(window.called, 1);
    EXPECT_TRUE(t.files->CancelRequested());
    t.files->Busy = false;
    t.ScanDelete(t.key, "scr_a");
    EXPECT_EQ(window.called, 1) << "a new scan starts by dropping an old request";
    EXPECT_GT(t.files->esRelatives().Count(), 1u);

    RecordingProgress progress;
    progress.cancel = true;
    t.files->RecurseRelatives(t.key, "SCPT1", {}, kRecurseDescendants, false, kOpDelete, true, {}, &progress);
    EXPECT_EQ(t.files->esRelatives().Count(), 1u);
    EXPECT_FALSE(t.files->Busy);
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
    t.ScanDelete(key, "gold");
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"0 0 MISC1", "0 1 CONT2/NPCO", "0 1 CONT2/XIDX"}));
    t.files->ProcessRelatives({}, nullptr);
    esfile& f = t.File(key);
    EXPECT_EQ(SubrecordKeys(f, 1), (std::vector<std::string>{"NAME", "NPCO", "XIDX"}));
    EXPECT_EQ(Decoded(f, 1, "XIDX").Item(1).Int(), 8) << "the other item keeps its index";
}

TEST(Relatives, AReferenceToAnIDNoRecordHoldsIsPassedOver) {
    IntegrityTest t;
    const std::string key = t.Open(Concat({HeaderRecord(2),
                                          RecordBytes("MISC", {{"NAME", Text("gold")}, {"SCRI", Text("gone_script")}}),
                                          RecordBytes("INFO", {{"INAM", Text("i1")}, {"ONAM", Text("nobody")}})}));
    t.files->RecurseRelatives(key, "MISC1", {}, kRecurseBoth, false, kOpCut, true, {}, nullptr);
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"1 0 MISC1"}));
    t.files->ProcessRelatives({}, nullptr);
    EXPECT_EQ(t.File(key).Records().size(), 2u);
    const auto& clip = t.files->ClipboardFile().Records();
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip[1].ID, "gold") << "a cut reaches the clipboard with its dangling reference";
    EXPECT_TRUE(t.prompt.calls.empty());
}
