#include "TestSupport.h"
#include "model/FastFile.h"

#include <gtest/gtest.h>

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

TEST_F(FastFileTest, ReadingTheWholeFileSetsEofWithTheLastByte) {
    f.OpenFileRead((dir / "f.bin").string());
    EXPECT_EQ(f.Size(), 1000);
    EXPECT_EQ(f.pos(), 1);
    Bytes b = f.GetBytes(1000);
    ASSERT_EQ(b.size(), 1001u);
    EXPECT_EQ(b[999], static_cast<std::uint8_t>(999 % 256));
    EXPECT_EQ(b[1000], 0);
    EXPECT_EQ(f.pos(), 1001);
    EXPECT_TRUE(f.Eof());
}

TEST_F(FastFileTest, ShortReadIsZeroFilled) {
    f.OpenFileRead((dir / "f.bin").string());
    f.SeekPos(991);
    Bytes b = f.GetBytes(16);
    ASSERT_EQ(b.size(), 17u);
    EXPECT_EQ(b[0], static_cast<std::uint8_t>(990 % 256));
    EXPECT_EQ(b[9], static_cast<std::uint8_t>(999 % 256));
    EXPECT_EQ(b[10], 0);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.pos(), 1001);
}

TEST_F(FastFileTest, SeekIsOneBased) {
    f.OpenFileRead((dir / "f.bin").string());
    f.SeekPos(17);
    EXPECT_EQ(f.GetBytes(1)[0], 16);
    EXPECT_FALSE(f.Eof());
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
