#include "FaultyWriter.h"
#include "ModelFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

// Where a save goes and what stands there before it.
struct Scenario {
    const char* name;
    bool overwrite;   // over the loaded file itself, or to a new name
    bool backup;      // .bak asked for
    bool staleBackup; // an older .bak is already there
};

class SaveFaultTest : public ModelTest, public ::testing::TestWithParam<Scenario> {
protected:
    // Small records staged together, one longer than a chunk written on its own, and one
    // record being edited, so that every write path of a save is taken.
    void SetUp() override {
        std::vector<Bytes> parts{HeaderRecord(7)};
        for (int i = 0; i < 5; ++i) parts.push_back(Gmst("g" + std::to_string(i)));
        parts.push_back(Gmst(std::string(300, 'L')));
        parts.push_back(Gmst("edited"));
        original = Concat(parts);
        ASSERT_EQ(Load(original), 0);
        Decoded(*file, 7, "NAME").Item("ID").SetValue(std::string("changed"));
        if (GetParam().staleBackup) WriteBytes(dir / (TargetName() + ".bak"), stale);

        // A clean save elsewhere: the bytes to expect and the number of each step.
        TempDir elsewhere;
        FaultyWriter counter;
        file->SetFileWriter(&counter);
        ASSERT_TRUE(file->Save((elsewhere.path() / "x.esp").string()));
        expected = ReadBytes(elsewhere.path() / "x.esp");
        writes = counter.writes;
        file->SetFileWriter(nullptr);
        ASSERT_NE(expected, original);
        ASSERT_GE(writes, 3) << "staged chunks, the long record and the rest";
        before = FilesIn(dir.path());
    }

    std::string TargetName() const { return GetParam().overwrite ? "test.esp" : "new.esp"; }
    std::string Target() const { return (dir / TargetName()).string(); }
    bool BackupMade() const { return GetParam().backup && GetParam().overwrite; }

    // Saves with `arm` making one step fail, then checks that nothing on disk changed but a
    // completed backup, and that the user was told `reason`.
    void SaveFails(const std::string& what, const std::function<void(FaultyWriter&)>& arm,
                   const std::string& reason, bool backupDone = false) {
        SCOPED_TRACE(what);
        FaultyWriter writer;
        arm(writer);
        file->SetFileWriter(&writer);
        prompt.calls.clear();
        EXPECT_FALSE(file->Save(Target(), "", GetParam().backup));
        file->SetFileWriter(nullptr);

        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error: The file " + Target() +
                                                           " could not be saved (" + reason +
                                                           "). The file on disk was not changed."});
        std::set<std::string> now = before;
        if (backupDone) now.insert(TargetName() + ".bak");
        EXPECT_EQ(FilesIn(dir.path()), now) << "no temporary or partial file stays";
        if (GetParam().overwrite) {
            EXPECT_EQ(ReadBytes(Target()), original);
        }
        const fs::path bak = Target() + ".bak";
        if (backupDone) {
            EXPECT_EQ(ReadBytes(bak), original) << "a backup, once there, is whole";
        } else if (GetParam().staleBackup) {
            EXPECT_EQ(ReadBytes(bak), stale) << "the earlier backup stays until a whole one replaces it";
        }
        EXPECT_FALSE(file->Busy);
        EXPECT_FALSE(file->Records()[7].Packed) << "the record being edited stays in edit";
    }

    Bytes original, expected;
    const Bytes stale = Text("an older backup", false);
    int writes = 0;
    std::set<std::string> before;
};

TEST_P(SaveFaultTest, EveryFailingStepLeavesTheDiskAsItWas) {
    SaveFails("create", [](FaultyWriter& w) { w.failCreate = true; },
              "cannot create " + Target() + ".vellum-tmp: Permission denied");
    for (int n = 1; n <= writes; ++n)
        SaveFails("write " + std::to_string(n), [n](FaultyWriter& w) { w.failWrite = n; },
                  "write failed: No space left on device");
    SaveFails("flush", [](FaultyWriter& w) { w.failFlush = true; }, "flush failed: Input/output error");
    SaveFails("close", [](FaultyWriter& w) { w.failClose = true; }, "close failed: Input/output error");
    if (BackupMade()) {
        SaveFails("copy", [](FaultyWriter& w) { w.failCopy = true; },
                  "cannot copy " + Target() + " to " + Target() + ".bak.vellum-tmp: No space left on device");
        SaveFails("backup rename", [](FaultyWriter& w) { w.failRename = 1; },
                  "cannot rename " + Target() + ".bak.vellum-tmp to " + Target() + ".bak: Read-only file system");
        SaveFails("rename", [](FaultyWriter& w) { w.failRename = 2; },
                  "cannot rename " + Target() + ".vellum-tmp to " + Target() + ": Read-only file system", true);
    } else {
        SaveFails("rename", [](FaultyWriter& w) { w.failRename = 1; },
                  "cannot rename " + Target() + ".vellum-tmp to " + Target() + ": Read-only file system");
    }

    // Nothing in memory was lost either: the next save writes what a clean one did.
    prompt.calls.clear();
    ASSERT_TRUE(file->Save(Target(), "", GetParam().backup));
    EXPECT_EQ(ReadBytes(Target()), expected);
    if (BackupMade()) {
        EXPECT_EQ(ReadBytes(Target() + ".bak"), original);
    }
    EXPECT_EQ(fs::exists(Target() + ".bak"), BackupMade() || GetParam().staleBackup) << "no earlier file, no backup";
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_P(SaveFaultTest, EditsMadeAfterAFailedSaveAreSaved) {
    FaultyWriter writer;
    writer.failWrite = 1;
    file->SetFileWriter(&writer);
    ASSERT_FALSE(file->Save(Target(), "", GetParam().backup));
    file->SetFileWriter(nullptr);
    Decoded(*file, 7, "NAME").Item("ID").SetValue(std::string("again"));
    ASSERT_TRUE(file->Save(Target(), "", GetParam().backup));
    auto saved = NewFile();
    ASSERT_EQ(saved->LoadFile(Target(), true, true, nullptr), 0);
    EXPECT_EQ(saved->Records()[7].ID, "again");
}

TEST_P(SaveFaultTest, CancelledSaveLeavesTheDiskAsItWas) {
    std::vector<Bytes> parts{HeaderRecord(300)};
    for (int i = 0; i < 300; ++i) parts.push_back(Gmst("c" + std::to_string(i)));
    ASSERT_EQ(Load(Concat(parts)), 0);
    const Bytes loaded = ReadBytes(dir / "test.esp");
    RecordingProgress progress;
    progress.cancel = true;
    prompt.calls.clear();
    EXPECT_FALSE(file->Save(Target(), "", GetParam().backup, &progress));
    EXPECT_TRUE(prompt.calls.empty()) << "the user asked for it; no error";
    EXPECT_EQ(FilesIn(dir.path()), before);
    if (GetParam().overwrite) {
        EXPECT_EQ(ReadBytes(Target()), loaded);
    }
    EXPECT_EQ(progress.done, 1);
}

INSTANTIATE_TEST_SUITE_P(Save, SaveFaultTest,
                         ::testing::Values(Scenario{"Overwrite", true, false, false},
                                           Scenario{"OverwriteWithBackup", true, true, false},
                                           Scenario{"OverwriteReplacingBackup", true, true, true},
                                           Scenario{"NewFile", false, false, false},
                                           Scenario{"NewFileBackupAsked", false, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vellum::test
