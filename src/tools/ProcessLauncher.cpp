#include "tools/ToolLauncher.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellum {

namespace {

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void RunChild(char* const* args, const char* folder, int errFd) {
    if (::setsid() < 0) { /* already a group leader: go on */ }
    pid_t grandchild = ::fork();
    if (grandchild < 0) {
        int e = errno;
        (void)!::write(errFd, &e, sizeof e);
        ::_exit(1);
    }
    if (grandchild > 0) ::_exit(0);
    if (*folder && ::chdir(folder) != 0) {
        int e = errno;
        (void)!::write(errFd, &e, sizeof e);
        ::_exit(127);
    }
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
        ::dup2(devnull, STDIN_FILENO);
        if (devnull > STDERR_FILENO) ::close(devnull);
    }
    ::execvp(args[0], args);
    int e = errno;
    (void)!::write(errFd, &e, sizeof e);
    ::_exit(127);
}

} // namespace

int ProcessLauncher::Start(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) {
    if (argv.empty()) return ENOENT;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::string folder = workingFolder.string();

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return errno;
    pid_t child = ::fork();
    if (child < 0) {
        int e = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        return e;
    }
    if (child == 0) {
        ::close(fds[0]);
        RunChild(args.data(), folder.c_str(), fds[1]);
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes when the tool's exec succeeds, or carries the errno of the failure.
    int error = 0;
    ssize_t got;
    while ((got = ::read(fds[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(fds[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

} // namespace vellum
