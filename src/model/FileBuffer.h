#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vellum {

class FastFile;

// A whole file read in one go, in memory the kernel may back with huge pages: reading 80 MB
// then takes far fewer page faults. Records keep views into it (SharedBytes).
class FileBuffer {
public:
    // Reads the rest of `reader`'s file (`size` bytes); nullptr when the read failed (FastFile
    // has said so).
    static std::shared_ptr<const FileBuffer> Read(FastFile& reader, std::size_t size);
    ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    FileBuffer() = default;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace vellum
