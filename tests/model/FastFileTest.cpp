#include "TestSupport.h"
#include "model/FastFile.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

// Reading is otherwise checked through the files loaded and read back.
TEST(FastFile, ReadFailureIsReportedWithThePosition) {
    PromptRecorder prompt;
    TempDir dir;
    FastFile f;
    f.OpenFileRead(dir.path().string()); // reading a folder fails in the read call itself
    ASSERT_TRUE(f.IsOpen());
    EXPECT_EQ(f.GetBytes(4), Bytes(5, 0));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Warning: Error reading bytes from file at position 1"});
}

} // namespace
} // namespace vellum::test
