#include "model/FileBuffer.h"

#include "model/FastFile.h"

#include <cstdlib>
#include <sys/mman.h>

namespace vellum {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

std::shared_ptr<const FileBuffer> FileBuffer::Read(FastFile& reader, std::size_t size) {
    std::shared_ptr<FileBuffer> buffer(new FileBuffer);
    const std::size_t capacity = (size + 1 + kHugePage - 1) / kHugePage * kHugePage;
    buffer->data_ = static_cast<std::uint8_t*>(std::aligned_alloc(kHugePage, capacity));
    if (!buffer->data_) return nullptr;
#ifdef MADV_HUGEPAGE
    if (size >= kHugePage) ::madvise(buffer->data_, capacity, MADV_HUGEPAGE);
#endif
    buffer->data_[size] = 0;
    buffer->size_ = static_cast<std::size_t>(reader.ReadInto(buffer->data_, static_cast<std::int64_t>(size)));
    if (!reader.LastResult()) return nullptr;
    return buffer;
}

FileBuffer::~FileBuffer() { std::free(data_); }

} // namespace vellum
