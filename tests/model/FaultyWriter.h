#pragma once

#include "model/FileWriter.h"

#include <fstream>
#include <iterator>
#include <string>

namespace vellum::test {

// The program's writer with one step made to fail on demand: the check of the folder, the
// create, the Nth write, the flush, the close, the backup copy (after writing half of it, as a
// full disk does) or the Nth rename. It counts the calls, so a clean run tells how many steps a save takes.
class FaultyWriter : public PosixFileWriter {
public:
    int failWrite = 0;  // 1-based number of the Write call that fails; 0 none
    int failRename = 0; // likewise for Rename
    bool failCreate = false, failFlush = false, failClose = false, failCopy = false;
    bool readOnlyFolder = false; // the target's folder refuses writes, as a read-only mount does
    bool sync = true; // false: the flush skips the fsync, for tests that save often
    std::size_t chunk = 64;
    int writes = 0, renames = 0;

    bool CheckWritable(const std::filesystem::path& target) override {
        return readOnlyFolder ? Refuse("the folder " + target.parent_path().string() +
                                       " cannot be written to: Read-only file system")
                              : PosixFileWriter::CheckWritable(target);
    }
    bool Create(const std::filesystem::path& file) override {
        return failCreate ? Refuse("cannot create " + file.string() + ": Permission denied")
                          : PosixFileWriter::Create(file);
    }
    bool Write(ByteSpan bytes) override {
        if (++writes == failWrite) {
            // Part of the data reaches the disk before the failure.
            PosixFileWriter::Write(bytes.first(bytes.size() / 2));
            return Refuse("write failed: No space left on device");
        }
        return PosixFileWriter::Write(bytes);
    }
    bool Flush() override {
        if (failFlush) return Refuse("flush failed: Input/output error");
        return !sync || PosixFileWriter::Flush();
    }
    bool Close() override {
        bool ok = PosixFileWriter::Close();
        return failClose ? Refuse("close failed: Input/output error") : ok;
    }
    bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (!failCopy) return PosixFileWriter::Copy(from, to);
        std::ifstream in(from, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(to, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
        return Refuse("cannot copy " + from.string() + " to " + to.string() + ": No space left on device");
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ++renames == failRename ? Refuse("cannot rename " + from.string() + " to " + to.string() + ": Read-only file system")
                                       : PosixFileWriter::Rename(from, to);
    }
    std::size_t ChunkSize() const override { return chunk; }

private:
    bool Refuse(const std::string& why) {
        error_ = why;
        return false;
    }
};

} // namespace vellum::test
