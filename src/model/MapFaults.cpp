#include "model/MapFaults.h"

#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

namespace vellum {

namespace {

struct sigaction previous {};

} // namespace

MapFaults& MapFaults::Instance() {
    static MapFaults* faults = new MapFaults; // the handler may run until the very end
    return *faults;
}

MapFaults::MapFaults() : page_(static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE))) {
    struct sigaction action {};
    action.sa_sigaction = [](int sig, siginfo_t* info, void* context) { OnFault(sig, info, context); };
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    ready_ = ::sigaction(SIGBUS, &action, &previous) == 0;
}

void MapFaults::OnFault(int sig, void* info, void* context) {
    auto* si = static_cast<siginfo_t*>(info);
    if (Instance().Handle(reinterpret_cast<std::uintptr_t>(si->si_addr))) return;
    // Not ours: as if we had never been here.
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction) {
            previous.sa_sigaction(sig, si, context);
            return;
        }
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(sig);
        return;
    }
    // Returning re-runs the read, which faults again and ends the program with SIGBUS.
    ::signal(SIGBUS, SIG_DFL);
}

bool MapFaults::Handle(std::uintptr_t address) {
    for (Slot& s : slots_) {
        const std::uintptr_t begin = s.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address - begin >= s.size.load(std::memory_order_acquire)) continue;
        void* at = reinterpret_cast<void*>(address & ~(page_ - 1));
        if (::mmap(at, page_, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) return false;
        std::int64_t none = -1;
        s.fault.compare_exchange_strong(none, static_cast<std::int64_t>(address - begin));
        count_.fetch_add(1, std::memory_order_acq_rel);
        return true;
    }
    return false;
}

int MapFaults::Watch(const std::uint8_t* begin, std::size_t size) {
    if (!ready_) return -1;
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = slots_[static_cast<std::size_t>(i)];
        bool free = false;
        if (!s.taken.compare_exchange_strong(free, true)) continue;
        s.fault.store(-1, std::memory_order_release);
        s.size.store(size, std::memory_order_release);
        s.begin.store(reinterpret_cast<std::uintptr_t>(begin), std::memory_order_release);
        return i;
    }
    return -1;
}

void MapFaults::Forget(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    s.begin.store(0, std::memory_order_release);
    s.size.store(0, std::memory_order_release);
    s.taken.store(false, std::memory_order_release);
}

std::int64_t MapFaults::FirstFault(int slot) const {
    if (slot < 0 || slot >= kSlots) return -1;
    return slots_[static_cast<std::size_t>(slot)].fault.load(std::memory_order_acquire);
}

} // namespace vellum
