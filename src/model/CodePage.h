#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vellum {

// Text in the data files is 8-bit, one byte per character, in a legacy Windows code page.
// The editor shows it through one of 1250 (Central European), 1251 (Cyrillic) or 1252 (Western,
// the default) and writes it back byte for byte: decoding then encoding any byte sequence gives
// the same bytes.

inline constexpr int kDefaultCodePage = 1252;

bool IsSupportedCodePage(int codePage);

// Unsupported code pages are read as 1252.
std::u16string DecodeCodePage(std::string_view bytes, int codePage);

// Characters the code page cannot hold become '?'; `lossless` tells whether any did.
std::string EncodeCodePage(std::u16string_view text, int codePage, bool* lossless = nullptr);

// The same in UTF-8, for text written to and read from files of our own. Utf8ToCodePage fails
// (false, `out` unspecified) on text that is not UTF-8 or holds a character the page lacks.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
bool Utf8ToCodePage(std::string_view utf8, int codePage, std::string& out);

// For each byte, the byte of its small letter in the code page (itself when it is no capital),
// for comparing text in any letter case.
std::array<unsigned char, 256> SmallLetterBytes(int codePage);

} // namespace vellum
