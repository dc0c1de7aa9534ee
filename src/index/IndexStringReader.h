#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vellum {

// Reads index strings in order through one buffer. A length that is negative or larger than
// the bytes left marks the file as damaged instead of allocating it, so a garbage or truncated
// index can never cost more memory than its own size.
class IndexStringReader {
public:
    enum class State { Ok, End, Missing, Truncated, BadLength };

    IndexStringReader() = default;
    explicit IndexStringReader(const std::filesystem::path& file) { Open(file); }
    ~IndexStringReader() { Close(); }
    IndexStringReader(const IndexStringReader&) = delete;
    IndexStringReader& operator=(const IndexStringReader&) = delete;

    bool Open(const std::filesystem::path& file);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // The next string, valid until the next call; false at the end or on damage (see state()).
    bool Next(std::string_view& out);
    // Skips `count` bytes of string data; false when the file has fewer.
    bool Skip(std::int64_t count);

    bool AtEnd() const { return position_ >= size_; }
    State state() const { return state_; }
    std::int64_t position() const { return position_; } // bytes consumed, 0-based
    const std::filesystem::path& path() const { return path_; }

    // Error number and description of a damaged file, in the program's error style.
    int ErrorNumber() const;
    std::string ErrorDescription() const;

private:
    bool Ensure(std::size_t count);

    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::string buffer_;
    std::size_t begin_ = 0, end_ = 0; // unread bytes in buffer_
    State state_ = State::Missing;
    std::int64_t badLength_ = 0;
};

} // namespace vellum
