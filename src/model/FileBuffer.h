#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vellum {

class FastFile;

// A whole file, records keep views into it (SharedBytes). Where the system allows it the file
// is mapped rather than copied: its bytes stay in the page cache, which the editor does not
// have to hold resident, and a read lease guards the mapping. When another program opens the
// file for writing or truncates it, the kernel holds that program back until every page has
// been copied into this process; only then is the lease given up, so the views never change.
// Where no lease can be had (another writer has the file open, a network file system), or
// mapping is turned off, the file is read into memory instead. Either way one zero byte follows
// the data. A mapped page the disk cannot give back reads as zeros and is noted (MapFaults).
class FileBuffer {
public:
    enum class Mapping {
        Leased,    // mapped under a read lease where the system grants one (the default)
        Off,       // always read into memory
        Unguarded, // mapped without a lease: lets tests cut a file short under a mapping
    };
    static void SetMapping(Mapping mapping);
    static Mapping CurrentMapping();

    // The first `size` bytes of the file that `reader` has open at `path`; nullptr when it
    // could not be read (FastFile has said so).
    static std::shared_ptr<const FileBuffer> Open(const std::string& path, FastFile& reader, std::size_t size);
    // The file mapped under a read lease (unless `leased` is false), or nullptr when either
    // is refused.
    static std::shared_ptr<const FileBuffer> Map(const std::string& path, std::size_t size, bool leased = true);
    // The rest of `reader`'s file read into memory.
    static std::shared_ptr<const FileBuffer> Read(FastFile& reader, std::size_t size);
    ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

    // True while the bytes are the file's own pages, not yet copied.
    bool IsMapped() const;
    // Lets the system take back the resident pages of a mapped file: the next read brings
    // them back from the page cache. Copied or read buffers are left alone.
    void ReleasePages() const;
    // 0-based offset of the first byte that could not be read from the disk, or -1.
    std::int64_t ReadFault() const;

private:
    friend class FileLeases;
    FileBuffer() = default;
    bool MapLeased(std::size_t size); // with the lease registry locked
    void CopyPages();                 // with the lease registry locked

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t span_ = 0; // bytes reserved at data_: the file's pages and at least one more
    int fd_ = -1;          // holds the lease while mapped
    int faultSlot_ = -1;   // of MapFaults, while mapped
    bool mapped_ = false;  // data_ is a mapping (of the file, or its copy)
    bool copied_ = false;
};

} // namespace vellum
