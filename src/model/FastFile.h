#pragma once

#include "model/Bytes.h"

#include <cstdint>
#include <string>

namespace vellum {

// Reads and writes whole byte arrays at a tracked position. Positions are 1-based: 1 is the
// first byte. Open failures are silent (reads then return empty arrays, writes do nothing);
// callers check for the file beforehand.
class FastFile {
public:
    static constexpr int kInvalid = -1;

    FastFile() = default;
    ~FastFile() { CloseFile(); }
    FastFile(const FastFile&) = delete;
    FastFile& operator=(const FastFile&) = delete;

    int OpenFileRead(const std::string& fileName);
    int OpenFileWrite(const std::string& fileName); // creates or truncates
    void CloseFile();

    // Reads `count` bytes at pos into an array of count + 1 bytes whose last byte is always 0;
    // bytes that could not be read are 0. EOF becomes true with the read that takes the last
    // byte of the file.
    Bytes GetBytes(std::int64_t count);
    // GetBytes into the caller's `count` bytes at `dest`, without the extra byte: the number
    // of bytes read, the rest of `dest` zero.
    std::int64_t ReadInto(std::uint8_t* dest, std::int64_t count);
    // Writes the whole array where the file pointer stands; pos and Size stay as they are.
    void WriteBytes(ByteSpan bytes);
    void SeekPos(std::int64_t pos);
    // What the user is told when the bytes at 1-based `pos` cannot be read.
    static std::string ReadErrorText(std::int64_t pos);

    bool IsOpen() const { return handle_ != kInvalid; }
    int Handle() const { return handle_; }
    std::int64_t Size() const { return size_; }
    void SetSize(std::int64_t size) { size_ = size; }
    std::int64_t pos() const { return pos_; }
    void SetPos(std::int64_t pos) { pos_ = pos; }
    bool Eof() const { return eof_; } // EOF itself is a macro of <cstdio>
    void SetEof(bool eof) { eof_ = eof; }
    bool LastResult() const { return lastResult_; }
    std::int64_t LastCount() const { return lastCount_; }

private:
    int handle_ = kInvalid;
    std::int64_t size_ = 0;
    std::int64_t pos_ = 1;
    bool eof_ = false;
    bool lastResult_ = false;
    std::int64_t lastCount_ = 0;
};

} // namespace vellum
