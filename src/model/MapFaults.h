#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vellum {

// Read errors in mapped files. When the disk cannot give a mapped page back (a failing disk, a
// file cut short by a program the lease did not hold back), the kernel raises SIGBUS at the
// instruction that reads it. Our handler puts a page of zeros in the page's place, notes where
// the fault was and lets the read go on; the operation that read it asks afterwards and reports
// the read error instead of the program dying. Faults outside the mappings watched here go to
// the handler there was before, or end the program as they would have.
class MapFaults {
public:
    static constexpr int kSlots = 256; // mapped files open at once; more are read instead

    static MapFaults& Instance();

    // Watches [begin, begin + size); -1 when every slot is taken or no handler could be set.
    int Watch(const std::uint8_t* begin, std::size_t size);
    void Forget(int slot);
    // Offset from `begin` of the first fault in the slot's range, or -1.
    std::int64_t FirstFault(int slot) const;
    // Faults handled so far, in every watched range.
    std::uint64_t Count() const { return count_.load(std::memory_order_acquire); }

private:
    MapFaults();
    static void OnFault(int sig, void* info, void* context);
    bool Handle(std::uintptr_t address);

    struct Slot {
        std::atomic<std::uintptr_t> begin{0};
        std::atomic<std::size_t> size{0};
        std::atomic<std::int64_t> fault{-1};
        std::atomic<bool> taken{false};
    };
    std::array<Slot, kSlots> slots_;
    std::atomic<std::uint64_t> count_{0};
    std::uintptr_t page_ = 4096;
    bool ready_ = false;
};

} // namespace vellum
