#pragma once

#include <cstddef>

namespace vellum::test {

// Counts what operator new hands out in the test program that links AllocationCounter.cpp:
// the bytes live now, the most live since the last Reset, and the largest single request.
struct AllocationCounter {
    static std::size_t Live();
    static std::size_t Peak();
    static std::size_t Largest();
    static void Reset(); // peak back to the live bytes, largest to 0
};

} // namespace vellum::test
