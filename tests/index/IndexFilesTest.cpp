#include "index/IdxFile.h"
#include "index/IndexFileWriter.h"
#include "index/RefIndexReader.h"
#include "index/esCheckedEntries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;
using vellum::test::TempDir;

TEST(RefIndexFile, EntriesReadBackUpperCasedAndTheLastEndsTheLoop) {
    TempDir dir;
    auto rdx = dir / "a.esp.rdx";
    IndexFileWriter w(rdx);
    w.WriteRefEntry("abc", 0, 0, "NPC_", "NPCO", "Item");
    w.WriteRefEntry("Fargoth Ring", 12, 3, "CELL", "NAME_NEXT", "Object");
    w.WriteRefEntry("", 7, 0, "CONT", "NPCO", "Item");
    ASSERT_TRUE(w.Finish());
    EXPECT_EQ(test::ReadBytes(rdx).at(0), 22) << "ABC 0 0 NPC_ NPCO Item with five separators";
    RefIndexReader r;
    ASSERT_TRUE(r.OpenRefIndex(rdx));
    std::vector<std::string> read;
    for (int i = 0; i < 5 && !r.bEndOfRefIndex; ++i) {
        const RefIndexEntry e = r.NextRefIndexEntry();
        read.push_back(e.ID + "|" + std::to_string(e.RecordIndex) + "|" + std::to_string(e.SubrecordIndex) + "|" +
                       e.RecordType + "|" + e.SubrecordType + "|" + e.PropertyName);
    }
    EXPECT_EQ(read, (std::vector<std::string>{"ABC|0|0|NPC_|NPCO|Item", "FARGOTH RING|12|3|CELL|NAME_NEXT|Object",
                                              "|7|0|CONT|NPCO|Item"}));

    IndexFileWriter none(dir / "none.rdx");
    none.WriteIndexString("");
    ASSERT_TRUE(none.Finish());
    EXPECT_EQ(test::ReadBytes(dir / "none.rdx"), std::vector<unsigned char>(4, 0)) << "an empty string is its length";
    IndexFileWriter empty(dir / "empty.rdx");
    ASSERT_TRUE(empty.Finish());
    ASSERT_TRUE(r.OpenRefIndex(dir / "empty.rdx"));
    EXPECT_TRUE(r.bEndOfRefIndex) << "an empty index has no entries to loop over";
    EXPECT_FALSE(r.OpenRefIndex(dir / "missing.rdx"));
}

TEST(RefIndexFile, DamagedFilesAreReportedOnceAndEndTheLoop) {
    TempDir dir;
    struct Case {
        std::string name;
        std::vector<unsigned char> bytes;
        std::string message;
    };
    std::vector<Case> cases = {
        {"huge", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}, "Function NextRefIndexEntry: 62 - Input past end of file"},
        {"negative", {0xFE, 0xFF, 0xFF, 0xFF, 'a'}, "Function NextRefIndexEntry: 5 - Invalid index string length -2"},
        {"short", {3, 0, 0}, "Function NextRefIndexEntry: 62 - Input past end of file"},
        {"fields", {3, 0, 0, 0, 'a', 0, 'b'}, "Function NextRefIndexEntry: 9 - Subscript out of range"},
    };
    std::vector<unsigned char> bad = {13, 0, 0, 0};
    for (char c : std::string_view("A\0x\0" "0\0N\0S\0P", 12)) bad.push_back(c);
    bad.push_back('Q');
    cases.push_back({"number", bad, "Function NextRefIndexEntry: 9 - Subscript out of range"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PromptRecorder prompt;
        test::WriteBytes(dir / c.name, c.bytes);
        RefIndexReader r;
        ASSERT_TRUE(r.OpenRefIndex(dir / c.name));
        int reads = 0;
        while (!r.bEndOfRefIndex && reads < 10) {
            EXPECT_EQ(r.NextRefIndexEntry().ID, "");
            ++reads;
        }
        EXPECT_EQ(reads, 1);
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text.rfind(c.message, 0), 0u) << prompt.calls[0].text;
        EXPECT_NE(prompt.calls[0].text.find((dir / c.name).string()), std::string::npos)
            << "the message names the file";
    }
}

namespace {
void WriteSampleIdx(const std::filesystem::path& dir) {
    std::vector<IdxCategory> cats = {{"TES3", {}}, {"NPC_", {"fargoth", "Vivec"}}, {"BOOK", {"bk_a"}}};
    ASSERT_TRUE(WriteIdxFile(IdxPath(dir, "m.esm"), cats, nullptr));
}
} // namespace

TEST(IdxFile, LayoutAndReaders) {
    TempDir dir;
    WriteSampleIdx(dir.path());
    auto bytes = test::ReadBytes(IdxPath(dir.path(), "m.esm"));
    std::string s(bytes.begin(), bytes.end());
    std::string npcBlock = std::string("\x04\0\0\0NPC_\x01\0\0\0" "2\x02\0\0\0" "20", 19);
    EXPECT_NE(s.find(npcBlock), std::string::npos) << "key, ID count, block length (4+7) + (4+5)";
    EXPECT_EQ(s.substr(0, 5), std::string("\x01\0\0\0" "3", 5));

    PromptRecorder prompt;
    EXPECT_TRUE(IdxFileExists(dir.path(), "m.esm"));
    EXPECT_FALSE(IdxFileExists(dir.path(), "x.esm"));
    EXPECT_TRUE(IdxHasCategory(dir.path(), "m.esm", "npc_"));
    EXPECT_FALSE(IdxHasCategory(dir.path(), "m.esm", "CELL"));

    test::RecordingProgress progress;
    EXPECT_TRUE(IdxHasID(dir.path(), "m.esm", "NPC_", "VIVEC", &progress));
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[0].second, "Checking Indices: m.esm TES3(0 entries)");
    EXPECT_EQ(progress.reports[1].second, "Checking Indices: m.esm NPC_(2 entries)");
    EXPECT_FALSE(IdxHasID(dir.path(), "m.esm", "BOOK", "fargoth", nullptr))
        << "IDs of other categories do not count";
    EXPECT_TRUE(IdxHasID(dir.path(), "m.esm", "BOOK", "BK_A", nullptr));

    esCheckedEntries list;
    list.Add("stale", "f", "r");
    EXPECT_TRUE(LoadIdxCategoryIDs(dir.path(), "m.esm", "npc_", list));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1).RecordKey, "fargoth");
    EXPECT_EQ(list.Item(2).FileKey, "m.esm");
    EXPECT_FALSE(LoadIdxCategoryIDs(dir.path(), "m.esm", "CELL", list));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_TRUE(prompt.calls.empty());
}

TEST(IdxFile, TruncatedAndGarbageFilesReadAsNotFound) {
    TempDir dir;
    WriteSampleIdx(dir.path());
    auto whole = test::ReadBytes(IdxPath(dir.path(), "m.esm"));
    for (std::size_t cut : {std::size_t(2), std::size_t(12), whole.size() - 3}) {
        SCOPED_TRACE(cut);
        PromptRecorder prompt;
        test::WriteBytes(IdxPath(dir.path(), "t.esm"), {whole.begin(), whole.begin() + cut});
        EXPECT_FALSE(IdxHasID(dir.path(), "t.esm", "BOOK", "bk_a", nullptr));
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text.rfind("Function IdxHasID: 62 - Input past end of file", 0), 0u);
    }
    PromptRecorder prompt;
    test::WriteBytes(IdxPath(dir.path(), "g.esm"), {1, 0, 0, 0, 'x', 0xFF, 0xFF, 0xFF, 0x7F});
    esCheckedEntries list;
    EXPECT_FALSE(LoadIdxCategoryIDs(dir.path(), "g.esm", "NPC_", list));
    EXPECT_FALSE(IdxHasCategory(dir.path(), "g.esm", "x"));
    ASSERT_EQ(prompt.calls.size(), 2u);
    EXPECT_EQ(prompt.calls[0].text, "Function LoadIdxCategoryIDs: 13 - Type mismatch");
    EXPECT_FALSE(IdxHasCategory(dir.path(), "missing", "NPC_"));
}
