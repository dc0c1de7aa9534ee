#include "ModelFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

Bytes Dial(const std::string& id) { return RecordBytes("DIAL", {{"NAME", Text(id)}}); }
Bytes Info(const std::string& id) { return RecordBytes("INFO", {{"INAM", Text(id)}}); }

class SaveTest : public ModelTest, public ::testing::Test {
protected:
    // Loads `records` behind a header that announces them, and returns the file's bytes.
    Bytes LoadRecords(const std::vector<Bytes>& records) {
        std::vector<Bytes> parts{HeaderRecord(static_cast<std::int32_t>(records.size()))};
        parts.insert(parts.end(), records.begin(), records.end());
        Bytes bytes = Concat(parts);
        EXPECT_EQ(Load(bytes), 0);
        return bytes;
    }
    Bytes Saved(const std::string& name = "out.esp") { return ReadBytes(dir / name); }
    std::string Out(const std::string& name = "out.esp") { return (dir / name).string(); }
    std::unique_ptr<esfile> Reload() {
        auto saved = NewFile();
        EXPECT_EQ(saved->LoadFile(Out(), true, true, nullptr), 0);
        return saved;
    }
};

// Records without subrecords too: a bare header.
TEST_F(SaveTest, UnchangedFileIsWrittenByteForByte) {
    Bytes bytes = LoadRecords({Gmst("a"), Gmst("b"), RecordBytes("GMST", {}), Dial("d"), Info("1"), Info("2")});
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Saved(), bytes);
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(file->Busy);
}

TEST_F(SaveTest, RecordsGoCategoryByCategoryWithChildrenBehindParents) {
    LoadRecords({Dial("d1"), Info("1"), Gmst("a"), Dial("d2"), Info("2"), Gmst("b"), Info("3")});
    ASSERT_TRUE(file->Save(Out()));
    std::vector<std::string> ids;
    const auto saved = Reload();
    for (const auto& r : saved->Records()) ids.push_back(r.Name + ":" + r.ID);
    EXPECT_EQ(ids, (std::vector<std::string>{"TES3:", "DIAL:d1", "INFO:1", "DIAL:d2", "INFO:2",
                                             "INFO:3", "GMST:a", "GMST:b"}));
}

TEST_F(SaveTest, SequenceEntriesComeFirstAndNoSequenceTakesTheRest) {
    const std::string templ = std::string("[@FILESEQUENCE]\nTES3\nGMST\nNOSEQUENCE\nCELL\n") + kHeaderTemplate;
    ModelTest t(templ.c_str());
    Bytes cell = RecordBytes("CELL", {{"NAME", Text("c")}});
    Bytes npc = RecordBytes("NPC_", {{"NAME", Text("n")}});
    ASSERT_EQ(t.Load(Concat({HeaderRecord(4), cell, npc, Gmst("g"), Dial("d")})), 0);
    ASSERT_TRUE(t.file->Save((t.dir / "o.esp").string()));
    EXPECT_EQ(ReadBytes(t.dir / "o.esp"), Concat({HeaderRecord(4), Gmst("g"), npc, Dial("d"), cell}));
}

TEST_F(SaveTest, HeaderCarriesTheRecordCount) {
    LoadRecords({Gmst("a"), Gmst("b"), Gmst("c")});
    file->Records().pop_back(); // as a delete leaves it
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Reload()->LastIndex(), 2);
    EXPECT_TRUE(prompt.calls.empty()) << "no mis-report: the header holds 2";
}

TEST_F(SaveTest, UnpackedRecordsStayUnpackedAndEditsAreSaved) {
    LoadRecords({Gmst("a")});
    Decoded(*file, 1, "NAME").Item("ID").SetValue(std::string("abc"));
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_FALSE(file->Records()[1].Packed);
    EXPECT_TRUE(file->Records()[0].Packed);
    EXPECT_EQ(Reload()->Records()[1].ID, "abc");
}

TEST_F(SaveTest, ProgressEvery101Records) {
    std::vector<Bytes> records;
    for (int i = 0; i < 250; ++i) records.push_back(Gmst("g" + std::to_string(i)));
    LoadRecords(records);
    RecordingProgress progress;
    ASSERT_TRUE(file->Save(Out(), "", false, &progress));
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[0], std::make_pair(40.0, std::string("Saving Record GMST g99")));
    EXPECT_EQ(progress.reports[1], std::make_pair(80.0, std::string("Saving Record GMST g200")));
}

TEST_F(SaveTest, TemplateWithoutSequenceRefusesAndWritesNothing) {
    ModelTest t("[GMST]\nPropID = NAME:ID\n");
    ASSERT_EQ(t.Load(Concat({HeaderRecord(1), Gmst("a")})), 0);
    const Bytes before = ReadBytes(t.dir / "test.esp");
    EXPECT_FALSE(t.file->Save((t.dir / "test.esp").string(), "", true));
    EXPECT_EQ(t.prompt.Texts(), std::vector<std::string>{
        "Error: The format template has no [@FILESEQUENCE] group, so the file cannot be saved. "
        "Nothing was written."});
    EXPECT_EQ(ReadBytes(t.dir / "test.esp"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir.path()), fs::directory_iterator()), 1);
}

TEST_F(SaveTest, BackupIsACopyOfTheFileReplaced) {
    Bytes original = LoadRecords({Gmst("a")});
    file->SetFileType(0);
    ASSERT_TRUE(file->Save(Out("test.esp"), "", true));
    EXPECT_EQ(Saved("test.esp.bak"), original);
    EXPECT_NE(Saved("test.esp"), original);
    ASSERT_TRUE(file->Save(Out("fresh.esp"), "", true));
    EXPECT_FALSE(fs::exists(dir / "fresh.esp.bak")) << "no earlier file, no backup";
}

// The loaded records are views of the file; another program rewriting it in place afterwards
// must not reach what this one saves.
TEST_F(SaveTest, FileRewrittenElsewhereAfterLoadStillSavesAsLoaded) {
    const Bytes original = LoadRecords({Gmst("a"), Gmst(std::string(5000, 'x')), Dial("d"), Info("1")});
    WriteBytes(dir / "test.esp", Bytes(100, 0xEE));
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Saved(), original);
    fs::resize_file(dir / "test.esp", 0);
    ASSERT_TRUE(file->Save(Out("test.esp"), "", true));
    EXPECT_EQ(Saved("test.esp"), original);
}

} // namespace
} // namespace vellum::test
