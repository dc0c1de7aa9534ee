// Index files written under faults: whichever write or the commit fails, no partial or stale
// index stands under the real name, no temporary file stays, and the user is told.
#include "IntegrityFixture.h"

#include "index/IdxFile.h"
#include "index/IndexFileWriter.h"
#include "index/IndexOutput.h"

#include <gtest/gtest.h>

#include <set>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

// The program's file output with the Nth write (after half its bytes reached the disk) or the
// commit made to fail.
class FaultyIndexOutput : public IndexOutput {
public:
    FaultyIndexOutput(const fs::path& target, int failWrite, bool failCommit)
        : real_(OpenFileIndexOutput(target)), failWrite_(failWrite), failCommit_(failCommit) {}
    bool Write(std::string_view bytes) override {
        if (++writes_ != failWrite_) return real_->Write(bytes);
        real_->Write(bytes.substr(0, bytes.size() / 2));
        return false;
    }
    bool Commit() override { return !failCommit_ && real_->Commit(); }
    std::string Error() const override { return "No space left on device"; }

private:
    std::unique_ptr<IndexOutput> real_;
    int writes_ = 0, failWrite_;
    bool failCommit_;
};

// Installs a faulty output for the life of the object; counts the outputs opened.
struct Faults {
    Faults(int failWrite, bool failCommit) {
        previous = SetIndexOutputFactory([this, failWrite, failCommit](const fs::path& target) {
            ++opened;
            return std::make_unique<FaultyIndexOutput>(target, failWrite, failCommit);
        });
    }
    ~Faults() { SetIndexOutputFactory(std::move(previous)); }
    IndexOutputFactory previous;
    int opened = 0;
};

std::set<std::string> FilesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

TEST(IndexWriteFault, EveryFlushAndTheCommitOfALargeIndex) {
    TempDir dir;
    const fs::path rdx = dir / "big.rdx";
    auto write = [&] {
        IndexFileWriter w(rdx);
        for (int i = 0; i < 60000; ++i) w.WriteRefEntry("some_object_id", i, 0, "NPC_", "NPCO", "Item");
        return std::make_pair(w.Finish(), w.Error());
    };
    ASSERT_TRUE(write().first);
    const Bytes clean = ReadBytes(rdx);
    ASSERT_GT(clean.size(), std::size_t{2} << 20) << "two flushes on the way and one at the end";

    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        Faults faults(n, n == 4);
        WriteBytes(rdx, clean);
        const auto [ok, error] = write();
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "No space left on device");
        EXPECT_TRUE(FilesIn(dir.path()).empty()) << "neither the stale index nor a temporary file";
    }
    ASSERT_TRUE(write().first);
    EXPECT_EQ(ReadBytes(rdx), clean);
}

class IndexerFaultTest : public IntegrityTest, public ::testing::Test {
protected:
    void SetUp() override {
        key = Open(SampleFile());
        ASSERT_TRUE(Indexer().BuildIndex(File(key), nullptr));
        rdx = Indexer().RefIndexPath(File(key));
        idx = Indexer().IdxPath(File(key));
        cleanRdx = ReadBytes(rdx);
        cleanIdx = ReadBytes(idx);
        ASSERT_FALSE(cleanRdx.empty());
        prompt.calls.clear();
    }
    ReferenceIndexer& Indexer() { return files->Indexer(); }

    std::string key;
    fs::path rdx, idx;
    Bytes cleanRdx, cleanIdx;
};

TEST_F(IndexerFaultTest, ReferenceIndexThatCannotBeWrittenIsGoneAndSaid) {
    for (const auto& [write, commit] : {std::pair{1, false}, std::pair{0, true}}) {
        Faults faults(write, commit);
        prompt.calls.clear();
        EXPECT_FALSE(Indexer().WriteReferenceIndex(File(key), nullptr));
        EXPECT_EQ(faults.opened, 1);
        EXPECT_EQ(prompt.Texts(),
                  std::vector<std::string>{"Function BuildReferenceIndex: 75 - No space left on device"});
        EXPECT_FALSE(Indexer().RefIndexExists(File(key))) << "a stale index no longer describes the file";
        EXPECT_EQ(FilesIn(rdx.parent_path()), std::set<std::string>{idx.filename().string()});
        EXPECT_EQ(ReadBytes(idx), cleanIdx) << "the other index is not touched";
    }
    ASSERT_TRUE(Indexer().WriteReferenceIndex(File(key), nullptr));
    EXPECT_EQ(ReadBytes(rdx), cleanRdx);
}

TEST_F(IndexerFaultTest, IdIndexThatCannotBeWrittenIsGoneAndSaid) {
    for (const auto& [write, commit] : {std::pair{1, false}, std::pair{0, true}}) {
        Faults faults(write, commit);
        RecordingProgress progress;
        prompt.calls.clear();
        EXPECT_FALSE(Indexer().BuildIndex(File(key), &progress));
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Function BuildIndex: 75 - No space left on device"});
        EXPECT_EQ(progress.done, 1) << "the progress window closes";
        EXPECT_EQ(FilesIn(idx.parent_path()), std::set<std::string>{rdx.filename().string()});
        EXPECT_EQ(ReadBytes(rdx), cleanRdx);
    }
    ASSERT_TRUE(Indexer().BuildIndex(File(key), nullptr));
    EXPECT_EQ(ReadBytes(idx), cleanIdx);
}

} // namespace
} // namespace vellum::test
