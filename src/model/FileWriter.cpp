#include "model/FileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

bool PosixFileWriter::CheckWritable(const std::filesystem::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return Fail(target.string() + " is a folder");
        }
        // No write bit for anyone is a deliberate mark, which even the superuser keeps.
        if (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
            error_ = "the file is read-only";
            return false;
        }
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return Fail("the folder " + folder.string() + " cannot be written to");
    return true;
}

bool PosixFileWriter::Create(const std::filesystem::path& file) {
    if (fd_ >= 0) ::close(fd_);
    // A new file gets the mode the user's umask gives new files.
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ >= 0 || Fail("cannot create " + file.string());
}

void PosixFileWriter::TakeAttributes(const std::filesystem::path& model) {
    struct stat st {};
    if (fd_ < 0 || ::stat(model.c_str(), &st) != 0) return;
    // Owner first: a change of owner clears the set-user and set-group bits. Another user's
    // file becomes ours, in its group where we belong to it.
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), st.st_gid) != 0)
        errno = 0;
    if (::fchmod(fd_, st.st_mode & 07777) != 0) errno = 0;
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
