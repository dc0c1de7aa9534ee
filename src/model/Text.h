#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// Small text helpers over 8-bit text (one byte per character).

// Numeric value of the leading number of a text, blanks skipped first; 0 when there is none.
// "  4" gives 4, "12abc" gives 12, "-3.5" gives -3.5, "x1" gives 0.
double Val(std::string_view text);
// Val rounded to the nearest integer (halves away from zero), clamped to the Int32 range.
int ValInt(std::string_view text);

std::string_view TrimSpaces(std::string_view text);      // blanks only, both ends
std::string_view TrimRightSpaces(std::string_view text); // blanks only, right end
std::string ToUpper(std::string_view text);              // ASCII letters
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
std::vector<std::string> Split(std::string_view text, char separator);

} // namespace vellum
