#pragma once

#include <cstdint>

namespace vellum {

// One record in the key index or in a category: its position in the file's record array.
struct esRecArrayEntries {
    std::int32_t IndexNumber = 0;
};

} // namespace vellum
