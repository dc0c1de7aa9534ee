#include "convert/HexText.h"

#include <array>

namespace vellum {

void AppendHex(ByteSpan bytes, std::string& out) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* p = out.data() + start;
    for (std::uint8_t b : bytes) {
        *p++ = kDigits[b >> 4];
        *p++ = kDigits[b & 15];
    }
}

std::string ToHex(ByteSpan bytes) {
    std::string out;
    AppendHex(bytes, out);
    return out;
}

bool FromHex(std::string_view text, Bytes& out) {
    // The value of each hexadecimal digit; 16 for every other character.
    static constexpr auto kValue = [] {
        std::array<std::uint8_t, 256> t{};
        t.fill(16);
        for (int c = 0; c < 10; ++c) t['0' + c] = static_cast<std::uint8_t>(c);
        for (int c = 0; c < 6; ++c) t['a' + c] = t['A' + c] = static_cast<std::uint8_t>(10 + c);
        return t;
    }();
    out.clear();
    if (text.size() % 2) return false;
    out.resize(text.size() / 2);
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    unsigned bad = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned hi = kValue[in[2 * i]], lo = kValue[in[2 * i + 1]];
        bad |= (hi | lo) & 16;
        out[i] = static_cast<std::uint8_t>(hi << 4 | (lo & 15));
    }
    return bad == 0;
}

} // namespace vellum
