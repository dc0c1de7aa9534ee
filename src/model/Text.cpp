#include "model/Text.h"

#include "model/KeyedCollection.h"

#include <climits>
#include <cmath>

namespace vellum {

double Val(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    double value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true)
        value = value * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
            value += (text[i] - '0') * scale;
            digits = true;
        }
    }
    if (digits && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) expNegative = text[j++] == '-';
        int exponent = 0;
        bool expDigits = false;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j, expDigits = true)
            exponent = exponent < 10000 ? exponent * 10 + (text[j] - '0') : exponent;
        if (expDigits) value *= std::pow(10.0, expNegative ? -exponent : exponent);
    }
    return negative ? -value : value;
}

int ValInt(std::string_view text) {
    double v = std::round(Val(text));
    if (!(v == v)) return 0;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

std::string_view TrimSpaces(std::string_view text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string_view TrimRightSpaces(std::string_view text) {
    std::size_t e = text.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string_view{} : text.substr(0, e + 1);
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && KeysEqual(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           KeysEqual(text.substr(text.size() - suffix.size()), suffix);
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find(separator, start);
        parts.emplace_back(text.substr(start, pos - start));
        if (pos == std::string_view::npos) break;
        start = pos + 1;
    }
    return parts;
}

} // namespace vellum
