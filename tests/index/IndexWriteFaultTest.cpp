// Index files written under faults: whichever write or the commit fails, no partial or stale
// index stands under the real name, no temporary file stays, and the user is told.
#include "IntegrityFixture.h"

#include "index/IdxFile.h"
#include "index/IndexFileWriter.h"
#include "index/IndexOutput.h"

#include <functional>

#include <gtest/gtest.h>

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

// Either index failing to be written is gone, said, and leaves the other index alone.
TEST_F(IndexerFaultTest, IndexThatCannotBeWrittenIsGoneAndSaid) {
    const struct {
        const char* function;
        std::function<bool(RecordingProgress*)> write;
        bool closesProgress; // a reference index is written within a load, which closes it
        fs::path written, other;
        Bytes clean, otherClean;
    } cases[] = {
        {"BuildReferenceIndex", [&](RecordingProgress* p) { return Indexer().WriteReferenceIndex(File(key), p); },
         false, rdx, idx, cleanRdx, cleanIdx},
        {"BuildIndex", [&](RecordingProgress* p) { return Indexer().BuildIndex(File(key), p); },
         true, idx, rdx, cleanIdx, cleanRdx},
    };
    for (const auto& c : cases) {
        for (const auto& [write, commit] : {std::pair{1, false}, std::pair{0, true}}) {
            SCOPED_TRACE(std::string(c.function) + (commit ? " commit" : " write"));
            Faults faults(write, commit);
            RecordingProgress progress;
            prompt.calls.clear();
            EXPECT_FALSE(c.write(&progress));
            EXPECT_EQ(faults.opened, 1);
            const std::string message = "Function " + std::string(c.function) + ": 75 - No space left on device";
            EXPECT_EQ(prompt.Texts(), std::vector<std::string>{message});
            if (c.closesProgress) EXPECT_EQ(progress.done, 1) << "the progress window closes";
            EXPECT_EQ(FilesIn(rdx.parent_path()), std::set<std::string>{c.other.filename().string()})
                << "a stale index no longer describes the file";
            EXPECT_EQ(ReadBytes(c.other), c.otherClean) << "the other index is not touched";
        }
        ASSERT_TRUE(c.write(nullptr));
        EXPECT_EQ(ReadBytes(c.written), c.clean);
    }
}

} // namespace
} // namespace vellum::test
