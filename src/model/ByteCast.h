#pragma once

#include "model/Bytes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellum {

// Little-endian casts between byte slices and values. A cast whose bytes do not lie in the
// array shows the cast failure message once and yields 0 (or an empty array); the caller goes on.
// Positions are 0-based indexes into the array.
namespace cast {

inline constexpr std::string_view kFailureMessage =
    "Error: Attempted to cast Bytes failed. Data may have been unintentionally modified. Saving "
    "this file will probably produce a corrupt and unusable file.";

// Number of cast failures reported since the program started (the check command counts them).
std::uint64_t FailureCount();
void ReportFailure();

std::int32_t ToInt32(ByteSpan bytes);                                  // exactly 4 bytes
std::string ToString(ByteSpan bytes);                                  // one character per byte
Bytes Slice(ByteSpan bytes, std::size_t start, std::size_t count);     // reports when out of range
std::int32_t Int32At(ByteSpan bytes, std::size_t start, int& count);   // count outside 1..4 becomes 4
std::int16_t Int16At(ByteSpan bytes, std::size_t start);
float SingleAt(ByteSpan bytes, std::size_t start);
double DoubleAt(ByteSpan bytes, std::size_t start);
std::int64_t Int64At(ByteSpan bytes, std::size_t start);

// Writers: values to little-endian bytes. An Int32 with length 1..3 is cut, above 4 zero-extended.
Bytes FromInt16(std::int16_t v);
Bytes FromInt32(std::int32_t v, int length = 0);
Bytes FromInt64(std::int64_t v);
Bytes FromSingle(float v);
Bytes FromDouble(double v);
Bytes FromString(std::string_view s);

// Unchecked little-endian stores and loads for the hot paths that have checked bounds already.
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
// An integer of 1 to 4 bytes: sign-extended when `isSigned`, and always at 4 bytes.
inline std::int64_t LoadInt(const std::uint8_t* p, std::size_t n, bool isSigned) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    if (!isSigned && n < 4) return v;
    const int unused = 32 - 8 * static_cast<int>(n);
    return static_cast<std::int32_t>(v << unused) >> unused;
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

} // namespace cast
} // namespace vellum
