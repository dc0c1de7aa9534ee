#include "TestSupport.h"
#include "model/FastFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace vellum::test {
namespace {

class FastFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bytes bytes(1000);
        std::iota(bytes.begin(), bytes.end(), 0);
        WriteBytes(dir / "f.bin", bytes);
    }
    PromptRecorder prompt;
    TempDir dir;
    FastFile f;
};

// Positions count from 1; a read returns one byte more, zero, and zeros past the end; the end
// of the file is reached with its last byte.
TEST_F(FastFileTest, ReadsFromOneBasedPositions) {
    const struct {
        int seek, n;
        std::size_t zerosFrom; // the first zero-filled byte of what is read
        bool eof;
    } cases[] = {{1, 1000, 1000, true}, {991, 16, 10, true}, {17, 1, 1, false}, {1000, 1, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seek);
        f.OpenFileRead((dir / "f.bin").string());
        EXPECT_EQ(f.Size(), 1000);
        EXPECT_EQ(f.pos(), 1);
        f.SeekPos(c.seek);
        const Bytes b = f.GetBytes(c.n);
        ASSERT_EQ(b.size(), static_cast<std::size_t>(c.n) + 1);
        for (std::size_t i = 0; i < b.size(); ++i)
            EXPECT_EQ(b[i], i < c.zerosFrom ? static_cast<std::uint8_t>((c.seek - 1 + i) % 256) : 0) << i;
        EXPECT_EQ(f.Eof(), c.eof);
        EXPECT_EQ(f.pos(), std::min(c.seek + c.n, 1001));
        f.CloseFile();
    }
}

TEST_F(FastFileTest, MissingFileReadsNothingSilently) {
    f.OpenFileRead((dir / "none").string());
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(f.GetBytes(10).empty());
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(FastFileTest, ReadFailureIsReportedWithThePosition) {
    // Reading a folder fails in the read call itself.
    f.OpenFileRead(dir.path().string());
    ASSERT_TRUE(f.IsOpen());
    Bytes b = f.GetBytes(4);
    EXPECT_EQ(b, Bytes(5, 0));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Warning: Error reading bytes from file at position 1"});
}

TEST_F(FastFileTest, WriteTruncatesAndKeepsPos) {
    f.OpenFileWrite((dir / "f.bin").string());
    f.WriteBytes(Bytes{1, 2, 3});
    EXPECT_EQ(f.pos(), 1);
    EXPECT_EQ(f.Size(), 0);
    f.CloseFile();
    EXPECT_EQ(ReadBytes(dir / "f.bin"), (std::vector<unsigned char>{1, 2, 3}));
}

} // namespace
} // namespace vellum::test
