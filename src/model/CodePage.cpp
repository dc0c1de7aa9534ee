#include "model/CodePage.h"

#include <array>
#include <unordered_map>

namespace vellum {
namespace {

// Characters of the bytes 0x80..0xFF. Bytes a code page leaves undefined map to the C1 control
// of the same number, so that every byte survives a round trip.
constexpr std::array<char16_t, 128> kHigh1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

constexpr std::array<char16_t, 128> kHigh1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Past 0x9F the Western page is Latin-1: each byte is the character of the same number.
constexpr std::array<char16_t, 128> kHigh1252 = [] {
    constexpr char16_t k80To9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::array<char16_t, 128> t{};
    for (int i = 0; i < 128; ++i) t[i] = i < 32 ? k80To9F[i] : static_cast<char16_t>(0x80 + i);
    return t;
}();

const std::array<char16_t, 128>* HighHalf(int codePage) {
    switch (codePage) {
    case 1250: return &kHigh1250;
    case 1251: return &kHigh1251;
    case 1252: return &kHigh1252;
    default: return nullptr;
    }
}

const std::array<char16_t, 128>& TableOf(int codePage) {
    const auto* table = HighHalf(codePage);
    return table ? *table : kHigh1252;
}

// Reverse table of one code page, built once.
const std::unordered_map<char16_t, char>& ReverseOf(int codePage) {
    static const auto build = [](const std::array<char16_t, 128>& table) {
        std::unordered_map<char16_t, char> map;
        for (int i = 0; i < 128; ++i)
            map.emplace(table[i], static_cast<char>(0x80 + i));
        return map;
    };
    static const std::unordered_map<char16_t, char> r1250 = build(kHigh1250);
    static const std::unordered_map<char16_t, char> r1251 = build(kHigh1251);
    static const std::unordered_map<char16_t, char> r1252 = build(kHigh1252);
    switch (codePage) {
    case 1250: return r1250;
    case 1251: return r1251;
    default: return r1252;
    }
}

// The small letter of a capital of the three pages' scripts (Latin-1, Latin Extended-A, Cyrillic).
char16_t SmallLetter(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    if (c == 0x178) return 0xFF;
    if (c == 0x490) return 0x491;
    // Latin Extended-A pairs a capital with the small letter after it: from an even code point,
    // but from an odd one between L-acute and N-caron and between Z-acute and Z-caron.
    const bool oddFirst = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool evenFirst = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if ((evenFirst && c % 2 == 0) || (oddFirst && c % 2 == 1)) return static_cast<char16_t>(c + 1);
    return c;
}

} // namespace

std::array<unsigned char, 256> SmallLetterBytes(int codePage) {
    const auto& table = TableOf(codePage);
    const auto& reverse = ReverseOf(codePage);
    std::array<unsigned char, 256> small{};
    for (int b = 0; b < 256; ++b) {
        small[b] = static_cast<unsigned char>(b);
        const char16_t c = b < 0x80 ? static_cast<char16_t>(b) : table[b - 0x80];
        const char16_t s = SmallLetter(c);
        if (s == c) continue;
        if (s < 0x80) small[b] = static_cast<unsigned char>(s);
        else if (const auto it = reverse.find(s); it != reverse.end()) small[b] = static_cast<unsigned char>(it->second);
    }
    return small;
}

bool IsSupportedCodePage(int codePage) { return HighHalf(codePage) != nullptr; }

std::u16string DecodeCodePage(std::string_view bytes, int codePage) {
    const auto& table = TableOf(codePage);
    std::u16string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(b < 0x80 ? static_cast<char16_t>(b) : table[b - 0x80]);
    }
    return text;
}

std::string EncodeCodePage(std::u16string_view text, int codePage, bool* lossless) {
    const auto& reverse = ReverseOf(codePage);
    std::string bytes;
    bytes.reserve(text.size());
    bool exact = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else if (auto it = reverse.find(c); it != reverse.end()) {
            bytes.push_back(it->second);
        } else {
            // A surrogate pair is one character: one '?' for both halves.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            bytes.push_back('?');
            exact = false;
        }
    }
    if (lossless)
        *lossless = exact;
    return bytes;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
    std::string text;
    text.reserve(bytes.size());
    for (const char16_t u : DecodeCodePage(bytes, codePage)) {
        if (u < 0x80) {
            text.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (u >> 6)));
            text.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xE0 | (u >> 12)));
            text.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return text;
}

bool Utf8ToCodePage(std::string_view utf8, int codePage, std::string& out) {
    const auto& reverse = ReverseOf(codePage);
    out.clear();
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        // Every character of the three pages lies in the Basic Multilingual Plane: two or
        // three bytes; longer forms, overlong forms and stray bytes are refused.
        char32_t c = 0;
        std::size_t n = 0;
        if ((b & 0xE0) == 0xC0) c = b & 0x1F, n = 2;
        else if ((b & 0xF0) == 0xE0) c = b & 0x0F, n = 3;
        else return false;
        if (utf8.size() - i < n) return false;
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(utf8[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = c << 6 | (t & 0x3F);
        }
        if ((n == 2 && c < 0x80) || (n == 3 && c < 0x800)) return false;
        const auto it = reverse.find(static_cast<char16_t>(c));
        if (it == reverse.end()) return false;
        out.push_back(it->second);
        i += n;
    }
    return true;
}

} // namespace vellum
