#include "model/FileLeases.h"

#include "model/FileBuffer.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace vellum {

namespace {

int wakeRead = -1;
int wakeWrite = -1;
struct sigaction previous {};

// Lease breaks arrive as SIGIO; the handler only wakes the watching thread. Standard signals
// do not queue, so the thread checks every lease, not just the one named.
void OnSignal(int sig, siginfo_t* info, void* context) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite, &byte, 1);
    errno = saved;
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction) previous.sa_sigaction(sig, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(sig);
    }
}

} // namespace

FileLeases& FileLeases::Instance() {
    static FileLeases* leases = new FileLeases; // lives as long as the thread that uses it
    return *leases;
}

FileLeases::FileLeases() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    wakeRead = fds[0];
    wakeWrite = fds[1];
    ::fcntl(wakeWrite, F_SETFL, O_NONBLOCK); // a full pipe already means "look"
    struct sigaction action {};
    action.sa_sigaction = OnSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGIO, &action, &previous) != 0) return;
    try {
        std::thread([this] { Watch(); }).detach();
    } catch (...) {
        return;
    }
    ready_ = true;
}

bool FileLeases::Take(FileBuffer& buffer) {
    if (!ready_ || buffer.fd_ < 0) return false;
    if (::fcntl(buffer.fd_, F_SETLEASE, F_RDLCK) != 0) return false;
    buffers_.push_back(&buffer);
    return true;
}

void FileLeases::Drop(const FileBuffer& buffer) { std::erase(buffers_, &buffer); }

void FileLeases::Watch() {
    char bytes[64];
    for (;;) {
        const ssize_t n = ::read(wakeRead, bytes, sizeof bytes);
        if (n < 0 && errno != EINTR) return;
        std::lock_guard lock(mutex_);
        CopyBroken();
    }
}

void FileLeases::CopyBroken() {
    for (auto it = buffers_.begin(); it != buffers_.end();) {
        FileBuffer& b = **it;
        if (::fcntl(b.fd_, F_GETLEASE) == F_RDLCK) {
            ++it;
            continue;
        }
        b.CopyPages();
        if (b.fd_ < 0) {
            it = buffers_.erase(it);
        } else {
            ++it; // no memory for the copy: the lease holds the writer back a while longer
        }
    }
}

} // namespace vellum
