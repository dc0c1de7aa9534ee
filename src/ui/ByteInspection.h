#pragma once

#include "model/Bytes.h"

#include <cstddef>
#include <string>

namespace vellum::ui {

// The bytes at a cursor read as numbers, little-endian, as the raw data window's inspector shows
// them. A value that needs bytes past the end reads kNotApplicable.
struct ByteInspection {
    static constexpr const char* kNotApplicable = "Not Applicable";

    std::string position; // "p + 1 / n"
    std::string byte;
    std::string int16;   // "#,##0"
    std::string int32;   // "#,###,###,##0"
    std::string float32;
    std::string float64;
    std::string flags;   // 32 bits, the highest first, a space between bytes
    std::string character;

    static ByteInspection At(ByteSpan bytes, std::size_t position);
};

} // namespace vellum::ui
