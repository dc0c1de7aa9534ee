#include "TestSupport.h"

#include "model/FastFile.h"
#include "model/FileBuffer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

class FileBufferTest : public ::testing::Test {
protected:
    // A file of `size` bytes that differ from their neighbours.
    Bytes Make(std::size_t size) {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
        WriteBytes(path, bytes);
        return bytes;
    }
    std::shared_ptr<const FileBuffer> Open() {
        FastFile reader;
        reader.OpenFileRead(path.string());
        return FileBuffer::Open(path.string(), reader, static_cast<std::size_t>(reader.Size()));
    }
    static void Expect(const FileBuffer& b, const Bytes& bytes) {
        ASSERT_EQ(b.size(), bytes.size());
        EXPECT_EQ(Bytes(b.data(), b.data() + b.size()), bytes);
        EXPECT_EQ(b.data()[b.size()], 0) << "a zero byte follows the data";
    }

    TempDir dir;
    fs::path path = dir / "file.esm";
};

// What another program may do to the file while it is open here; the buffer keeps its bytes.
TEST_F(FileBufferTest, MappedFileKeepsItsBytesWhateverHappensToTheFile) {
    const std::vector<std::pair<const char*, void (*)(const fs::path&)>> changes{
        {"rewritten in place", [](const fs::path& p) { WriteBytes(p, Bytes(50, 0xAB)); }},
        {"truncated", [](const fs::path& p) { fs::resize_file(p, 0); }},
        {"replaced", [](const fs::path& p) {
             WriteBytes(p.string() + ".new", Bytes(10, 1));
             fs::rename(p.string() + ".new", p);
         }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        const Bytes bytes = Make(3 * 4096 + 123);
        auto b = Open();
        ASSERT_TRUE(b);
        if (!b->IsMapped()) GTEST_SKIP() << "this file system grants no read lease: files are read instead";
        b->ReleasePages();
        Expect(*b, bytes);
        change(path);
        Expect(*b, bytes);
        b->ReleasePages(); // must not drop the only copy
        Expect(*b, bytes);
    }
}

TEST_F(FileBufferTest, FileOpenForWritingIsReadInstead) {
    for (std::size_t size : {std::size_t{4096}, std::size_t{5000}, std::size_t{1}}) {
        SCOPED_TRACE(size);
        const Bytes bytes = Make(size);
        const int writer = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(writer, 0);
        auto b = Open();
        ::close(writer);
        ASSERT_TRUE(b);
        EXPECT_FALSE(b->IsMapped());
        Expect(*b, bytes);
        b = Open();
        Expect(*b, bytes); // page-sized files too end in a zero byte
    }
}

} // namespace
} // namespace vellum::test
