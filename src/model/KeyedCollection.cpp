#include "model/KeyedCollection.h"

namespace vellum {

namespace {
constexpr unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
} // namespace

std::string FoldKey(std::string_view key) {
    std::string out(key);
    for (char& c : out) c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return out;
}

bool KeysEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::size_t FoldedHash::operator()(std::string_view s) const noexcept {
    // FNV-1a over folded bytes.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= Fold(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

} // namespace vellum
