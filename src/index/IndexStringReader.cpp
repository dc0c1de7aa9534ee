#include "index/IndexStringReader.h"

#include "model/ByteCast.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace vellum {

namespace {
constexpr std::size_t kChunk = 1 << 18;
}

bool IndexStringReader::Open(const std::filesystem::path& file) {
    Close();
    path_ = file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        state_ = State::Missing;
        return false;
    }
    file_ = std::fopen(file.c_str(), "rb");
    if (!file_) {
        state_ = State::Missing;
        return false;
    }
    auto size = std::filesystem::file_size(file, ec);
    size_ = ec ? 0 : static_cast<std::int64_t>(size);
    position_ = 0;
    begin_ = end_ = 0;
    state_ = State::Ok;
    return true;
}

void IndexStringReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool IndexStringReader::Ensure(std::size_t count) {
    if (end_ - begin_ >= count) return true;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    std::size_t want = std::max(count, kChunk);
    if (buffer_.size() < want) buffer_.resize(want);
    while (end_ < count && file_) {
        std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        if (got == 0) break;
        end_ += got;
    }
    return end_ >= count;
}

bool IndexStringReader::Next(std::string_view& out) {
    if (state_ != State::Ok) return false;
    if (AtEnd()) {
        state_ = State::End;
        return false;
    }
    if (size_ - position_ < 4 || !Ensure(4)) {
        state_ = State::Truncated;
        return false;
    }
    auto length = static_cast<std::int32_t>(
        cast::LoadU32(reinterpret_cast<const std::uint8_t*>(buffer_.data() + begin_)));
    if (length < 0) {
        state_ = State::BadLength;
        badLength_ = length;
        return false;
    }
    if (length > size_ - position_ - 4) {
        state_ = State::Truncated;
        badLength_ = length;
        return false;
    }
    if (!Ensure(4 + static_cast<std::size_t>(length))) {
        state_ = State::Truncated;
        return false;
    }
    out = std::string_view(buffer_.data() + begin_ + 4, static_cast<std::size_t>(length));
    begin_ += 4 + static_cast<std::size_t>(length);
    position_ += 4 + length;
    return true;
}

bool IndexStringReader::Skip(std::int64_t count) {
    if (state_ != State::Ok) return false;
    if (count < 0 || count > size_ - position_) {
        state_ = State::Truncated;
        return false;
    }
    std::int64_t buffered = static_cast<std::int64_t>(end_ - begin_);
    if (count <= buffered) {
        begin_ += static_cast<std::size_t>(count);
    } else {
        begin_ = end_ = 0;
        if (std::fseek(file_, static_cast<long>(position_ + count), SEEK_SET) != 0) {
            state_ = State::Truncated;
            return false;
        }
    }
    position_ += count;
    return true;
}

int IndexStringReader::ErrorNumber() const {
    switch (state_) {
    case State::Missing: return 53;
    case State::Truncated: return 62;
    case State::BadLength: return 5;
    default: return 0;
    }
}

std::string IndexStringReader::ErrorDescription() const {
    std::string where = " (" + path_.string() + ", byte " + std::to_string(position_) + ")";
    switch (state_) {
    case State::Missing: return "File not found (" + path_.string() + ")";
    case State::Truncated: return "Input past end of file" + where;
    case State::BadLength:
        return "Invalid index string length " + std::to_string(badLength_) + where;
    default: return {};
    }
}

} // namespace vellum
