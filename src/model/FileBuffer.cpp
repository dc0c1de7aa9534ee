#include "model/FileBuffer.h"

#include "model/FastFile.h"
#include "model/FileLeases.h"
#include "model/MapFaults.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
std::atomic<FileBuffer::Mapping> mapping{FileBuffer::Mapping::Leased};

std::size_t PageSize() {
    static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}
} // namespace

void FileBuffer::SetMapping(Mapping m) { mapping.store(m); }

FileBuffer::Mapping FileBuffer::CurrentMapping() { return mapping.load(); }

std::shared_ptr<const FileBuffer> FileBuffer::Open(const std::string& path, FastFile& reader, std::size_t size) {
    const Mapping m = CurrentMapping();
    if (m != Mapping::Off)
        if (auto mapped = Map(path, size, m == Mapping::Leased)) return mapped;
    return Read(reader, size);
}

std::shared_ptr<const FileBuffer> FileBuffer::Map(const std::string& path, std::size_t size, bool leased) {
    std::shared_ptr<FileBuffer> buffer(new FileBuffer);
    buffer->fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (buffer->fd_ < 0) return nullptr;
    FileLeases& leases = FileLeases::Instance();
    std::lock_guard lock(leases.Lock());
    if (leased && !leases.Take(*buffer)) return nullptr;
    // A mapped file is only safe to read where a read error cannot end the program.
    if (!buffer->MapLeased(size) || (buffer->faultSlot_ = MapFaults::Instance().Watch(buffer->data_, size)) < 0) {
        leases.Drop(*buffer);
        return nullptr;
    }
    return buffer;
}

bool FileBuffer::MapLeased(std::size_t size) {
    // Under the lease the file can no longer shrink; it must still hold what the caller measured.
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::size_t>(st.st_size) < size)
        return false;
    // The file's pages with at least one zero page behind them.
    const std::size_t page = PageSize();
    span_ = (size / page + 1) * page;
    void* base = ::mmap(nullptr, span_, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return false;
    data_ = static_cast<std::uint8_t*>(base);
    mapped_ = true;
    if (size > 0 && ::mmap(base, size, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd_, 0) == MAP_FAILED) return false;
    size_ = size;
    return true;
}

std::shared_ptr<const FileBuffer> FileBuffer::Read(FastFile& reader, std::size_t size) {
    std::shared_ptr<FileBuffer> buffer(new FileBuffer);
    // Huge pages: reading 80 MB then takes far fewer page faults.
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

FileBuffer::~FileBuffer() {
    MapFaults::Instance().Forget(faultSlot_);
    if (mapped_) {
        {
            // The watching thread may be copying these pages right now.
            FileLeases& leases = FileLeases::Instance();
            std::lock_guard lock(leases.Lock());
            leases.Drop(*this);
        }
        ::munmap(data_, span_);
    } else {
        std::free(data_);
    }
    if (fd_ >= 0) ::close(fd_); // gives the lease up
}

std::int64_t FileBuffer::ReadFault() const { return MapFaults::Instance().FirstFault(faultSlot_); }

bool FileBuffer::IsMapped() const {
    if (!mapped_) return false;
    std::lock_guard lock(FileLeases::Instance().Lock());
    return !copied_;
}

void FileBuffer::ReleasePages() const {
    if (!mapped_) return;
    // Under the lock: once the pages are copied they are the only copy and must stay.
    std::lock_guard lock(FileLeases::Instance().Lock());
    if (!copied_) ::madvise(data_, span_, MADV_DONTNEED);
}

void FileBuffer::CopyPages() {
    // A copy moved over the mapping in one step: readers see the same bytes throughout.
    void* copy = ::mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy == MAP_FAILED) return; // keep the lease: the writer waits, the bytes stay ours
    std::memcpy(copy, data_, size_);
    ::mprotect(copy, span_, PROT_READ);
    if (::mremap(copy, span_, span_, MREMAP_MAYMOVE | MREMAP_FIXED, data_) == MAP_FAILED) {
        ::munmap(copy, span_);
        return;
    }
    copied_ = true;
    ::fcntl(fd_, F_SETLEASE, F_UNLCK);
    ::close(fd_);
    fd_ = -1;
}

} // namespace vellum
