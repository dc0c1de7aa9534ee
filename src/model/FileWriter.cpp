#include "model/FileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace vellum {

PosixFileWriter::~PosixFileWriter() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixFileWriter::Fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool PosixFileWriter::Create(const std::filesystem::path& file) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd_ >= 0 || Fail("cannot create " + file.string());
}

bool PosixFileWriter::Write(ByteSpan bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return Fail("write failed");
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PosixFileWriter::Flush() { return ::fsync(fd_) == 0 || Fail("flush failed"); }

bool PosixFileWriter::Close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0 || Fail("close failed");
}

bool PosixFileWriter::Copy(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) error_ = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
    return !ec;
}

bool PosixFileWriter::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ||
           Fail("cannot rename " + from.string() + " to " + to.string());
}

bool PosixFileWriter::Remove(const std::filesystem::path& file) {
    return ::unlink(file.c_str()) == 0 || errno == ENOENT || Fail("cannot delete " + file.string());
}

} // namespace vellum
