#include "ui/ByteInspection.h"

#include "model/FileStatistics.h"

#include <cstdio>
#include <cstring>

namespace vellum::ui {

namespace {

template <typename T>
bool Read(ByteSpan bytes, std::size_t at, T& out) {
    if (at + sizeof(T) > bytes.size()) return false;
    std::memcpy(&out, bytes.data() + at, sizeof(T)); // the data is little-endian, like the host
    return true;
}

std::string Number(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

} // namespace

ByteInspection ByteInspection::At(ByteSpan bytes, std::size_t p) {
    ByteInspection r;
    const std::string na = kNotApplicable;
    r.position = std::to_string(p + 1) + " / " + std::to_string(bytes.size());
    if (p >= bytes.size()) {
        r.byte = r.int16 = r.int32 = r.float32 = r.float64 = r.flags = r.character = na;
        return r;
    }
    const std::uint8_t b = bytes[p];
    r.byte = std::to_string(b);
    r.character = std::string(1, static_cast<char>(b));
    std::int16_t i16;
    r.int16 = Read(bytes, p, i16) ? FileStatistics::Grouped(i16) : na;
    std::int32_t i32;
    r.int32 = Read(bytes, p, i32) ? FileStatistics::Grouped(i32) : na;
    float f;
    r.float32 = Read(bytes, p, f) ? Number(f, 7) : na;
    double d;
    r.float64 = Read(bytes, p, d) ? Number(d, 15) : na;
    std::uint32_t u32;
    if (Read(bytes, p, u32)) {
        for (int bit = 31; bit >= 0; --bit) {
            r.flags += (u32 >> bit) & 1U ? '1' : '0';
            if (bit % 8 == 0 && bit > 0) r.flags += ' ';
        }
    } else {
        r.flags = na;
    }
    return r;
}

} // namespace vellum::ui
