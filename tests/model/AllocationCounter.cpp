#include "AllocationCounter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> live{0}, peak{0}, largest{0};

void* Take(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    // The usable size is what both ends see for one pointer, with or without a sanitizer.
    const std::size_t now = live += malloc_usable_size(p);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {}
    seen = largest.load();
    while (n > seen && !largest.compare_exchange_weak(seen, n)) {}
    return p;
}

void Give(void* p) noexcept {
    if (!p) return;
    live -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void* operator new(std::size_t n) { return Take(n); }
void* operator new[](std::size_t n) { return Take(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try { return Take(n); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try { return Take(n); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }

namespace vellum::test {

std::size_t AllocationCounter::Live() { return live; }
std::size_t AllocationCounter::Peak() { return peak; }
std::size_t AllocationCounter::Largest() { return largest; }
void AllocationCounter::Reset() {
    peak = live.load();
    largest = 0;
}

} // namespace vellum::test
