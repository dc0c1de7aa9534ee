#pragma once

#include "model/FileWriter.h"

#include <string>

namespace vellum::test {

// The program's writer with one step made to fail on demand: the Nth write, the flush, the
// close, the backup copy or the rename.
class FaultyWriter : public PosixFileWriter {
public:
    int failWrite = 0; // 1-based number of the Write call that fails; 0 none
    bool failFlush = false, failClose = false, failCopy = false, failRename = false;
    std::size_t chunk = 64;
    int writes = 0;

    bool Write(ByteSpan bytes) override {
        if (++writes == failWrite) return Refuse("write failed: No space left on device");
        return PosixFileWriter::Write(bytes);
    }
    bool Flush() override { return failFlush ? Refuse("flush failed") : PosixFileWriter::Flush(); }
    bool Close() override {
        bool ok = PosixFileWriter::Close();
        return failClose ? Refuse("close failed") : ok;
    }
    bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return failCopy ? Refuse("copy failed") : PosixFileWriter::Copy(from, to);
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return failRename ? Refuse("rename failed") : PosixFileWriter::Rename(from, to);
    }
    std::size_t ChunkSize() const override { return chunk; }

private:
    bool Refuse(const std::string& why) {
        error_ = why;
        return false;
    }
};

} // namespace vellum::test
