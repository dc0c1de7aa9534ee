#include "IntegrityFixture.h"

#include "index/ChangeRecordID.h"
#include "index/IdxFile.h"
#include "index/IndexManager.h"
#include "index/References.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

using namespace vellum;
using namespace vellum::test;

TEST(Files, ClipboardIsFirstSettingsReachEveryFileFilesGoAndTheClipboardSurvivesAClear) {
    IntegrityTest t;
    ASSERT_EQ(t.files->Count(), 1u);
    EXPECT_TRUE(t.files->Item(1).Clipboard);
    EXPECT_EQ(t.files->KeyOf(1), "<Clipboard>");
    const std::string a = t.Open(SampleFile(), "a.esp");
    t.files->SetLeaveRecordsUnpacked(true);
    EXPECT_TRUE(t.File(a).LeaveRecordsUnpacked);
    const std::string b = t.Open(SampleFile(), "b.esp");
    EXPECT_TRUE(t.File(b).LeaveRecordsUnpacked) << "the setting reaches open and later files";
    EXPECT_TRUE(t.files->ClipboardFile().LeaveRecordsUnpacked);
    t.files->RecurseRelatives(b, "NPC_5", {}, kRecurseAncestors, false, kOpCopy, true, {}, nullptr);
    EXPECT_FALSE(t.File(b).Records()[5].Packed) << "records stay unpacked after the scan";
    EXPECT_EQ(t.files->Add(a), nullptr) << "an open path is refused";
    EXPECT_EQ(t.files->Item(a).Records().size(), 10u) << "and the open file is untouched";
    EXPECT_THROW(t.files->Item("missing"), std::out_of_range);
    t.files->CheckedEntries(b).Add("x", b, "NPC_5");
    t.files->Remove(b);
    EXPECT_FALSE(t.files->Exists(b));
    EXPECT_EQ(t.files->CheckedEntries(b).Count(), 0u) << "the ticked entries went with the file";

    t.files->clear(false);
    ASSERT_EQ(t.files->Count(), 1u);
    EXPECT_TRUE(t.files->Item(1).Clipboard);
    t.files->clear(true);
    EXPECT_EQ(t.files->Count(), 0u);
    EXPECT_TRUE(t.files->ClipboardFile().Clipboard) << "a fresh clipboard on demand";
}

// A rename rewrites the ID in the references to that record alone, in any letter case, and keeps
// the other fields of their subrecords.
TEST(Files, ChangeIDRewritesOnlyTheReferencesToThatRecord) {
    IntegrityTest t;
    const std::string a = t.Open(SampleFile(), "a.esp");
    esfile& f = t.File(a);
    const int gold = t.IndexOfID(a, "gold");
    EXPECT_FALSE(ChangeRecordID(f, gold, "")) << "an empty ID is refused";
    Lines lines;
    ASSERT_TRUE(t.Rename(a, gold, "coin", false, &lines));
    EXPECT_EQ(f.Records()[static_cast<std::size_t>(gold)].PreviousID, "gold");
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"a.esp/NPC_5 (npc_a)/NPCO  Item: gold -> coin",
                                                     "a.esp/NPC_5 (npc_a)/NPCO4  Item: Gold -> coin",
                                                     "a.esp/NPC_6 (npc_b)/NPCO  Item: gold -> coin"}));
    const Bytes saved = t.Saved(a);
    std::vector<Bytes> items;
    for (const RawSubrecord& s : RawSubrecords(saved))
        if (s.type == "NPCO") items.emplace_back(s.data.begin(), s.data.end());
    EXPECT_EQ(items, (std::vector<Bytes>{Npco(1, "coin"), Npco(2, "coin"), Npco(5, "coin")}));
    std::vector<std::string> descendants;
    for (const ReferenceRow& r : BrowseReferences(*t.files, a, gold, nullptr))
        if (r.Type == ReferenceRow::Descendant) descendants.push_back(r.ID);
    EXPECT_EQ(descendants, (std::vector<std::string>{"npc_a", "npc_a", "npc_b"})) << "the index knows the new ID";

    esCheckedEntries list;
    esCheckedEntry& c = list.Add("x", a, t.KeyOf(a, "npc_a"));
    c.OldID = "nobody";
    c.NewID = "x";
    Lines none;
    t.files->ChangeIDReferences(a, list, true, &none);
    EXPECT_TRUE(none.lines.empty()) << "an ID nothing refers to changes nothing";
    EXPECT_FALSE(t.files->Busy);
}

TEST(Files, IndexManagerListsMastersThenPluginsAndIndexesClosedFiles) {
    IntegrityTest t;
    const std::filesystem::path data = t.dir / "Data Files";
    std::filesystem::create_directories(data / "sub.esm");
    for (const char* name : {"b.esp", "A.ESM", "c.esm", "notes.txt", "oddESM.esp"}) WriteBytes(data / name, SampleFile());
    const std::filesystem::path indices = t.dir / "Indices";
    const std::string open = t.OpenPath(data / "c.esm");
    std::filesystem::remove(IdxPath(indices, "c.esm"));

    using namespace index_manager;
    std::vector<Row> rows = ListDataFiles(data, indices);
    std::vector<std::string> names;
    for (const Row& r : rows) names.push_back(r.File.filename().string() + ":" + r.ActionText);
    EXPECT_EQ(names, (std::vector<std::string>{"A.ESM:Index File", "c.esm:Index File", "b.esp:Index File"}));

    RecordingProgress progress;
    ASSERT_TRUE(IndexDataFile(*t.files, data / "b.esp", &progress));
    EXPECT_FALSE(t.files->IsOpen((data / "b.esp").string())) << "a closed file is closed again";
    EXPECT_EQ(progress.reports.back().second, "Unloading");
    ASSERT_TRUE(IndexDataFile(*t.files, data / "c.esm", nullptr));
    EXPECT_TRUE(t.files->IsOpen(open));
    rows = ListDataFiles(data, indices);
    EXPECT_EQ(Select(rows, Selection::NotIndexed), (std::vector<std::filesystem::path>{data / "A.ESM"}));
    EXPECT_EQ(Select(rows, Selection::Indexed).size(), 2u);
    EXPECT_EQ(rows[1].StateText, "Indexed");
    EXPECT_EQ(rows[1].ActionText, "Re-index File");
    EXPECT_TRUE(ListDataFiles(t.dir / "missing", indices).empty());
    EXPECT_FALSE(IndexDataFile(*t.files, data / "gone.esp", nullptr));
    EXPECT_TRUE(t.prompt.Saw("Error: The file does not exist"));
}
