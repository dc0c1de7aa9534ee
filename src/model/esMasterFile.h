#pragma once

#include <cstdint>
#include <string>

namespace vellum {

// A master file named in a file's header: "MAST" and the size from the "DATA" after it.
struct esMasterFile {
    std::string Name;
    std::int64_t Size = 0;
};

} // namespace vellum
