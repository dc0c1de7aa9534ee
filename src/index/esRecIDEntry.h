#pragma once

#include "model/SparseText.h"

#include <cstdint>

namespace vellum {

// One ID of a category: the record that has it.
struct esRecIDEntry {
    std::int32_t IndexNumber = 0;
    SparseText Description; // both are usually empty: a pointer each
    SparseText RecordType;
};

} // namespace vellum
