#include "IntegrityFixture.h"

#include "index/DialogueChain.h"
#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "index/References.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vellum;
using namespace vellum::test;

namespace {

Bytes Topic(std::string_view id) { return RecordBytes("DIAL", {{"NAME", Text(id)}, {"DATA", Bytes{0}}}); }
Bytes Response(std::string_view id, std::string_view previous, std::string_view next, std::string_view actor = "") {
    std::vector<Sub> more{{"DATA", Bytes(12, 0)}, {"NAME", Text("Hello.", false)}};
    if (!actor.empty()) more.push_back({"ONAM", Text(actor)});
    return Info(id, previous, next, more);
}

struct Undo : IntegrityTest {
    std::string a = Open(SampleFile(), "a.esp");
    std::string b = Open(SampleFile(), "b.esp");
    // A plug-in of a's, its dialogue as the game has it, which esmtool reads.
    std::string c = Open(Concat({HeaderRecord(5, 1, {{"a.esp", 0}}), Topic("t1"), Response("r1", "", "r2", "npc_a"),
                                 Response("r2", "r1", ""), Topic("t2"), Response("r3", "", "")}),
                         "c.esp");
    UndoHistory& history = files->History();

    void Cut(const std::string& id) {
        ScanDelete(a, id, true);
        files->ProcessRelatives({}, nullptr);
    }
};

} // namespace

// Every command kind, undone, saves the bytes the file saved before it; redone, the bytes it
// saved after it; both files of a command that spans two come back.
TEST(UndoHistory, UndoAndRedoOfEachCommandRestoreTheSavedBytes) {
    const struct {
        const char* name;
        std::string stepName;
        std::function<void(Undo&)> command;
        std::function<void(Undo&)> before = [](Undo&) {};
    } cases[] = {
        // The script goes with what requires it, the responses only a deleted NPC may say
        // included, the plug-in's one too (its neighbour relinked); an item loses its reference.
        {"safe delete with descendants in two files", "Delete 8 Records",
         [](Undo& t) { t.SafeDelete(t.a, t.IndexOfID(t.a, "scr_a")); }},
        {"cut", "Cut 3 Records", [](Undo& t) { t.Cut("npc_b"); }}, // with its response
        {"paste", "Paste 1 Record", [](Undo& t) { t.files->Paste(t.a, PasteMode::Replace, nullptr); },
         [](Undo& t) { t.Cut("spl"); }},
        {"paste merge", "Paste Merge 1 Record", [](Undo& t) { t.files->Paste(t.a, PasteMode::Merge, nullptr); },
         [](Undo& t) { t.Cut("spl"); }},
        {"ID change repairing references in both files", "Change ID",
         [](Undo& t) { t.Rename(t.a, t.IndexOfID(t.a, "gold"), "coin", true); }},
        {"reference repair reaching a plug-in", "Change ID",
         [](Undo& t) {
             esCheckedEntries list;
             esCheckedEntry& e = list.Add("npc_a", t.a, t.KeyOf(t.a, "npc_a"));
             e.OldID = "npc_a";
             e.NewID = "npc_z";
             t.files->ChangeIDReferences(t.a, list, false, nullptr);
         }},
        {"raw byte edit", "Edit Bytes",
         [](Undo& t) {
             HistoryScope step(t.history, "Edit Bytes", {t.b});
             t.File(t.b).SetRecordByte(t.IndexOfID(t.b, "npc_a"), 20, 0x7f);
             t.File(t.b).Changed = true;
         }},
        {"insert", "Insert Record",
         [](Undo& t) {
             HistoryScope step(t.history, "Insert Record", {t.b});
             t.File(t.b).AddRecord("MISC");
             t.File(t.b).Changed = true;
         }},
        {"file type", "Change File Type",
         [](Undo& t) {
             HistoryScope step(t.history, "Change File Type", {t.b});
             t.File(t.b).SetFileType(0);
         }},
        {"move of a response to another topic", "Move Response",
         [](Undo& t) {
             ASSERT_EQ(DialogueChain::Move(t.File(t.c), t.KeyOf(t.c, "r1"), t.KeyOf(t.c, "t2")),
                       DialogueChain::MoveResult::Moved);
         }},
        {"delete of marked records", "Delete 2 Records",
         [](Undo& t) {
             MarkAsDeleted(t.File(t.b), t.KeyOf(t.b, "npc_a"));
             MarkAsDeleted(t.File(t.b), t.KeyOf(t.b, "npc_b"));
             t.files->DeleteMarked(t.b, nullptr);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Undo t;
        c.before(t);
        const std::vector<std::string> keys{t.a, t.b, t.c};
        auto saveAll = [&] {
            std::vector<std::filesystem::path> out;
            for (const std::string& key : keys) out.push_back(t.SaveCopy(key));
            return out;
        };
        auto bytes = [](const std::vector<std::filesystem::path>& saves) {
            std::vector<Bytes> out;
            for (const auto& p : saves) out.push_back(ReadBytes(p));
            return out;
        };
        const auto before = saveAll();
        c.command(t);
        ASSERT_GE(t.history.Count(), 1u);
        EXPECT_EQ(t.history.UndoName(), c.stepName);
        const auto after = bytes(saveAll());
        EXPECT_NE(after, bytes(before)) << "the command changed something";

        t.history.Undo();
        const auto undone = saveAll();
        EXPECT_EQ(bytes(undone), bytes(before));
        for (const std::string& key : keys) ExpectIndexesAgree(t.File(key));
        // A second reader: esmtool reads the save after the undo as it reads the file the test
        // wrote, for the files it can read at all.
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (EsmtoolStatus(keys[i]) == 0) EXPECT_EQ(EsmtoolDump(undone[i]), EsmtoolDump(keys[i])) << keys[i];
        EXPECT_EQ(t.history.RedoName(), c.stepName);
        t.history.Redo();
        EXPECT_EQ(bytes(saveAll()), after);
        EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
    }
}

// The changed flag follows the saved state, whichever way the history moves.
TEST(UndoHistory, ChangedFlagFollowsTheSavedState) {
    Undo t;
    esfile& b = t.File(t.b);
    auto edit = [&](int value) {
        HistoryScope step(t.history, "Edit Bytes", {t.b});
        b.SetRecordByte(t.IndexOfID(t.b, "npc_a"), 20, static_cast<std::uint8_t>(value));
        b.Changed = true;
    };
    edit(1);
    edit(2);
    t.history.Undo();
    EXPECT_TRUE(b.Changed);
    t.history.Undo();
    EXPECT_FALSE(b.Changed) << "back at the loaded state";
    t.history.Redo();
    ASSERT_TRUE(b.Save((t.dir / "b.esp").string(), "b.esp"));
    b.Changed = false;
    t.history.MarkSaved(t.b);
    t.history.Undo();
    EXPECT_TRUE(b.Changed) << "the save keeps the history";
    t.history.Redo();
    EXPECT_FALSE(b.Changed) << "back at the saved state";
    t.history.Undo();
    edit(3);
    t.history.Undo();
    EXPECT_TRUE(b.Changed) << "a new step after undo makes the saved state unreachable";
    EXPECT_EQ(t.history.Count(), 1u) << "the undone steps were cut off";
}

// The edits of one session (bytes typed into a grid) are one step while nothing comes between
// them: another command, an undo or a save ends the step. Typed back to where it started, the
// session leaves no step and the file unchanged.
TEST(UndoHistory, EditsOfASessionAreOneStep) {
    Undo t;
    esfile& b = t.File(t.b);
    const int npc = t.IndexOfID(t.b, "npc_a");
    const std::uint8_t first = b.CurrentData(b.Records()[static_cast<std::size_t>(npc)])[20];
    auto edit = [&](std::uint64_t session, std::size_t at, int value) {
        HistoryScope step(b, "Edit Raw Data", session);
        b.SetRecordByte(npc, at, static_cast<std::uint8_t>(value));
        b.Changed = true;
    };
    const std::uint64_t typing = t.history.NewSession();
    edit(typing, 20, first + 1);
    edit(typing, 20, first);
    EXPECT_EQ(t.history.Count(), 0u);
    EXPECT_FALSE(b.Changed);

    for (int i = 0; i < 3; ++i) edit(typing, 20 + i, i + 1);
    ASSERT_EQ(t.history.Count(), 1u);
    t.history.Undo();
    EXPECT_FALSE(b.Changed);
    t.history.Redo();

    edit(typing, 23, 4); // after a redo
    edit(0, 24, 5);
    edit(typing, 25, 6); // after another command
    t.history.MarkSaved(t.b);
    edit(typing, 26, 7); // after a save
    EXPECT_EQ(t.history.Count(), 5u);
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
}

TEST(UndoHistory, StepsAreOnePerCommandAndClosedFilesLeaveThem) {
    Undo t;
    {
        HistoryScope outer(t.history, "Edit Both");
        HistoryScope inner(t.history, "ignored", {t.a});
        t.File(t.a).SetRecordByte(t.IndexOfID(t.a, "npc_a"), 20, 1);
        t.File(t.b).SetRecordByte(t.IndexOfID(t.b, "npc_a"), 20, 1);
    }
    { HistoryScope nothing(t.history, "Nothing"); }
    ASSERT_EQ(t.history.Count(), 1u) << "a command that changes nothing leaves no step";
    EXPECT_EQ(t.history.Step(1).Name, "Edit Both");
    EXPECT_EQ(t.history.Step(1).Files.size(), 2u);
    t.files->Remove(t.a);
    ASSERT_EQ(t.history.Count(), 1u);
    EXPECT_EQ(t.history.Step(1).Files.size(), 1u);
    t.files->Remove(t.b);
    EXPECT_EQ(t.history.Count(), 0u);
    EXPECT_FALSE(t.history.CanUndo());
}

TEST(UndoHistory, UndoingACutLeavesTheClipboardHoldingWhatWasCut) {
    Undo t;
    t.Cut("npc_b");
    t.history.Undo();
    EXPECT_GE(FindRecordByID(t.files->ClipboardFile(), "npc_b"), 0);
}

TEST(UndoHistory, ChangesBehindTheHistoryEndItWithAMessage) {
    Undo t;
    t.Cut("npc_b");
    t.File(t.a).Records().pop_back(); // not through any command
    EXPECT_TRUE(t.history.Undo().empty());
    EXPECT_TRUE(t.prompt.Saw("The file " + t.a + " was changed outside the undo history; the history has been cleared."));
    EXPECT_EQ(t.history.Count(), 0u);
}
