#include "IntegrityFixture.h"

#include "index/ChangeRecordID.h"
#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vellum;
using namespace vellum::test;

namespace {

struct NoLines : esCallbackStringValue {
    void CallBack(std::string_view, std::string_view) override {}
};

struct Undo : IntegrityTest {
    std::string a = Open(SampleFile(), "a.esp");
    std::string b = Open(SampleFile(), "b.esp");
    UndoHistory& history = files->History();
    int saves = 0;

    // The file as a save writes it, read back from disk byte for byte; the file keeps its
    // names, as if nothing had been saved.
    std::vector<unsigned char> Saved(const std::string& key) {
        esfile& f = File(key);
        const std::string name = f.SaveFileName, title = f.FileTitle;
        const auto out = dir / ("save" + std::to_string(++saves) + ".esp");
        EXPECT_TRUE(f.Save(out.string()));
        f.SaveFileName = name;
        f.FileTitle = title;
        return ReadBytes(out);
    }
    void ChangeID(const std::string& file, const std::string& id, const std::string& to, bool allFiles) {
        HistoryScope step(history, "Change ID");
        const int index = IndexOfID(file, id);
        ASSERT_TRUE(ChangeRecordID(File(file), index, to));
        esCheckedEntries list;
        esCheckedEntry& c = list.Add(id, file, File(file).Records()[static_cast<std::size_t>(index)].Key);
        c.OldID = id;
        c.NewID = to;
        NoLines lines;
        files->ChangeIDReferences(file, list, allFiles, &lines);
    }
    void Cut(const std::string& file, const std::string& id) { Relatives(file, id, kOpCut); }
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
        // included; an item loses its reference.
        {"safe delete with descendants", "Delete 5 Records",
         [](Undo& t) {
             t.Relatives(t.a, "scr_a", kOpDelete);
         }},
        {"cut", "Cut 3 Records", [](Undo& t) { t.Cut(t.a, "npc_b"); }}, // with its response
        {"paste", "Paste 1 Record", [](Undo& t) { t.files->Paste(t.a, PasteMode::Replace, nullptr); },
         [](Undo& t) { t.Cut(t.a, "spl"); }},
        {"paste merge", "Paste Merge 1 Record", [](Undo& t) { t.files->Paste(t.a, PasteMode::Merge, nullptr); },
         [](Undo& t) { t.Cut(t.a, "spl"); }},
        {"ID change repairing references in both files", "Change ID",
         [](Undo& t) { t.ChangeID(t.a, "gold", "coin", true); }},
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
        {"delete of marked records", "Delete 2 Records",
         [](Undo& t) {
             MarkAsDeleted(t.File(t.b), t.KeyOfID(t.b, "npc_a"));
             MarkAsDeleted(t.File(t.b), t.KeyOfID(t.b, "npc_b"));
             t.files->DeleteMarked(t.b, nullptr);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Undo t;
        c.before(t);
        const auto a0 = t.Saved(t.a), b0 = t.Saved(t.b);
        c.command(t);
        ASSERT_GE(t.history.Count(), 1u);
        EXPECT_EQ(t.history.UndoName(), c.stepName);
        const auto a1 = t.Saved(t.a), b1 = t.Saved(t.b);
        EXPECT_TRUE(a1 != a0 || b1 != b0) << "the command changed something";

        t.history.Undo();
        EXPECT_EQ(t.Saved(t.a), a0);
        EXPECT_EQ(t.Saved(t.b), b0);
        EXPECT_EQ(t.history.RedoName(), c.stepName);
        t.history.Redo();
        EXPECT_EQ(t.Saved(t.a), a1);
        EXPECT_EQ(t.Saved(t.b), b1);
        EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
    }
}

TEST(UndoHistory, IndexesAndReferencesFollowUndo) {
    Undo t;
    t.ChangeID(t.a, "gold", "coin", false);
    esfile& f = t.File(t.a);
    t.history.Undo();
    EXPECT_TRUE(f.esRecArrayCatIndex().Item("MISC")->esRecIDIndex.Exists("gold"));
    EXPECT_FALSE(f.esRecArrayCatIndex().Item("MISC")->esRecIDIndex.Exists("coin"));
    EXPECT_EQ(Decoded(f, 5, "NPCO4").Item("Item").Text(), "Gold") << "the repaired reference is back";

    const std::size_t all = f.Records().size();
    t.Cut(t.a, "npc_b");
    t.history.Undo();
    EXPECT_EQ(f.Records().size(), all);
    for (std::size_t i = 0; i < f.Records().size(); ++i)
        EXPECT_EQ(f.esRecArrayIndex().Item(f.Records()[i].Key).IndexNumber, static_cast<int>(i));
    EXPECT_TRUE(t.File(std::string(esFiles::kClipboardKey)).Records().size() > 1)
        << "undoing a cut leaves the clipboard holding what was cut";
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

TEST(UndoHistory, ChangesBehindTheHistoryEndItWithAMessage) {
    Undo t;
    t.Cut(t.a, "npc_b");
    t.File(t.a).Records().pop_back(); // not through any command
    EXPECT_TRUE(t.history.Undo().empty());
    EXPECT_TRUE(t.prompt.Saw("The file " + t.a + " was changed outside the undo history; the history has been cleared."));
    EXPECT_EQ(t.history.Count(), 0u);
}
