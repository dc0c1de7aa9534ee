#include "model/FastFile.h"

#include "model/Prompt.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum {

int FastFile::OpenFileRead(const std::string& fileName) {
    CloseFile();
    handle_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    size_ = (handle_ != kInvalid && ::fstat(handle_, &st) == 0) ? st.st_size : 0;
    pos_ = 1;
    eof_ = false;
    return handle_;
}

int FastFile::OpenFileWrite(const std::string& fileName) {
    CloseFile();
    handle_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    size_ = 0;
    pos_ = 1;
    eof_ = false;
    return handle_;
}

void FastFile::CloseFile() {
    if (handle_ != kInvalid) ::close(handle_);
    handle_ = kInvalid;
}

Bytes FastFile::GetBytes(std::int64_t count) {
    if (count < 0) count = 0;
    if (handle_ == kInvalid) return {};
    Bytes buffer(static_cast<std::size_t>(count) + 1, 0);
    ReadInto(buffer.data(), count);
    return buffer;
}

std::int64_t FastFile::ReadInto(std::uint8_t* dest, std::int64_t count) {
    if (count < 0 || handle_ == kInvalid) return 0;
    std::int64_t done = 0;
    bool failed = false;
    while (done < count) {
        ssize_t n = ::read(handle_, dest + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0) break;
        done += n;
    }
    lastResult_ = !failed;
    lastCount_ = done;
    if (failed) {
        CurrentPrompt().Message(ReadErrorText(pos_));
        std::fill(dest, dest + count, 0);
    } else {
        std::fill(dest + done, dest + count, 0);
    }
    pos_ += done;
    eof_ = pos_ > size_ || done < count;
    return done;
}

std::string FastFile::ReadErrorText(std::int64_t pos) {
    return "Warning: Error reading bytes from file at position " + std::to_string(pos);
}

void FastFile::WriteBytes(ByteSpan bytes) {
    if (handle_ == kInvalid) return;
    std::size_t done = 0;
    bool failed = false;
    while (done < bytes.size()) {
        ssize_t n = ::write(handle_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed = true;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    lastResult_ = !failed;
    lastCount_ = static_cast<std::int64_t>(done);
}

void FastFile::SeekPos(std::int64_t pos) {
    if (handle_ != kInvalid) ::lseek(handle_, pos - 1, SEEK_SET);
    pos_ = pos;
}

} // namespace vellum
