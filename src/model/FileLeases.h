#pragma once

#include <mutex>
#include <vector>

namespace vellum {

class FileBuffer;

// The read leases of the mapped files of this process. When another program opens a leased
// file for writing or truncates it, the kernel signals us and holds that program back; a
// thread of ours then copies the file's pages and gives the lease up.
class FileLeases {
public:
    static FileLeases& Instance();

    // Both with Lock() held. Take gets a read lease on the buffer's file and watches it, false
    // when the system refuses; it comes before the buffer maps the file, so a break that
    // comes at once waits for the mapping. Drop stops watching (the lease goes with the file).
    bool Take(FileBuffer& buffer);
    void Drop(const FileBuffer& buffer);
    std::mutex& Lock() { return mutex_; }

private:
    FileLeases();
    void Watch();
    void CopyBroken(); // with the lock held

    std::mutex mutex_;
    std::vector<FileBuffer*> buffers_;
    bool ready_ = false; // the signal handler and the watching thread are in place
};

} // namespace vellum
