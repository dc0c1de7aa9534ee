#pragma once

#include <cstdint>
#include <string>

namespace vellum {

// The bare header of one subrecord, read without unpacking its record.
struct SubHeader {
    std::string Name;
    std::int32_t Size = 0;
    std::string Key;
};

} // namespace vellum
