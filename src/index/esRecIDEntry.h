#pragma once

#include <cstdint>
#include <string>

namespace vellum {

// One ID of a category: the record that has it.
struct esRecIDEntry {
    std::int32_t IndexNumber = 0;
    std::string Description;
    std::string RecordType;
};

} // namespace vellum
