#include "ModelFixture.h"
#include "TestSupport.h"

#include "model/FastFile.h"
#include "model/FileBuffer.h"
#include "model/ReferenceIndexBuilder.h"
#include "model/TextDump.h"

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

// A mapping the kernel cannot fill (here: the file cut short behind it, where no lease holds
// the cutting program back) reads as zeros, and the offset of the first fault is kept.
TEST_F(FileBufferTest, PageThatCannotBeReadGivesZerosAndItsOffset) {
    const Bytes bytes = Make(5 * 4096);
    auto b = FileBuffer::Map(path.string(), bytes.size(), false);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->ReadFault(), -1);
    EXPECT_EQ(b->data()[3 * 4096 + 5], bytes[3 * 4096 + 5]);
    b->ReleasePages();
    fs::resize_file(path, 2 * 4096);
    EXPECT_EQ(static_cast<const volatile std::uint8_t*>(b->data())[3 * 4096 + 5], 0);
    EXPECT_EQ(b->ReadFault(), 3 * 4096 + 5);
    EXPECT_EQ(b->data()[4096 + 7], bytes[4096 + 7]) << "pages the file still has read as they are";
    EXPECT_EQ(b->data()[4 * 4096], 0);
    EXPECT_EQ(b->ReadFault(), 3 * 4096 + 5) << "the first fault is the one kept";
}

// Cuts the file short at the end of its load, then reads every record, as the reference
// index does.
class CuttingIndexer : public ReferenceIndexBuilder {
public:
    explicit CuttingIndexer(fs::path file) : file_(std::move(file)) {}
    void BuildReferenceIndex(esfile& file, Progress*) override {
        fs::resize_file(file_, 4096);
        unsigned sum = 0;
        for (const RecordEntry& r : file.Records())
            for (std::size_t i = 0; i < r.Data.size(); ++i) sum += static_cast<const volatile std::uint8_t*>(r.Data.data())[i];
        (void)sum;
    }

private:
    fs::path file_;
};

// Load, save and dump each end with the read-error message; nothing is written or kept.
TEST_F(FileBufferTest, ReadErrorsEndLoadSaveAndDumpWithTheMessage) {
    struct Unguarded {
        Unguarded() { FileBuffer::SetMapping(FileBuffer::Mapping::Unguarded); }
        ~Unguarded() { FileBuffer::SetMapping(FileBuffer::Mapping::Leased); }
    } mapping;
    ModelTest t;
    const Bytes file = Concat({HeaderRecord(2), Gmst("a"), RecordBytes("GMST", {{"NAME", Text("big")}, {"STRV", Bytes(30000, 'x')}})});
    const std::string in = (t.dir / "test.esp").string();
    auto readError = [&](const std::string& text) {
        const std::string start = "Warning: Error reading bytes from file at position ";
        return text.starts_with(start) && std::stoll(text.substr(start.size())) > 4096;
    };

    ASSERT_EQ(t.Load(file), 0);
    fs::resize_file(in, 4096);
    EXPECT_FALSE(t.file->Save((t.dir / "out.esp").string()));
    ASSERT_EQ(t.prompt.calls.size(), 2u);
    EXPECT_TRUE(readError(t.prompt.Texts()[0])) << t.prompt.Texts()[0];
    EXPECT_EQ(t.prompt.Texts()[1], "Error: The file " + (t.dir / "out.esp").string() + " could not be saved (the file " +
                                       in + " could not be read back). The file on disk was not changed.");
    EXPECT_EQ(FilesIn(t.dir.path()), std::set<std::string>{"test.esp"});

    t.prompt.calls.clear();
    EXPECT_EQ(DumpAsText(*t.file, {}, t.dir / "Dumps"), "");
    ASSERT_EQ(t.prompt.calls.size(), 1u);
    EXPECT_TRUE(readError(t.prompt.Texts()[0]));
    EXPECT_TRUE(FilesIn(t.dir / "Dumps").empty());

    t.prompt.calls.clear();
    WriteBytes(in, file);
    CuttingIndexer cutter(in);
    auto loaded = t.NewFile();
    loaded->SetReferenceIndexBuilder(&cutter);
    EXPECT_EQ(loaded->LoadFile(in, true, true), esfile::kReadError);
    ASSERT_EQ(t.prompt.calls.size(), 1u);
    EXPECT_TRUE(readError(t.prompt.Texts()[0]));
    EXPECT_EQ(loaded->Records().size(), 1u) << "nothing read stays";
    EXPECT_FALSE(loaded->Busy);
}

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
