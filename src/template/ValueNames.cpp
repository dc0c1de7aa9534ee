#include "template/ValueNames.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"

#include <charconv>

namespace vellum {

std::string ValueNames::GroupName(Kind kind, std::string_view name) {
    return (kind == Kind::Flags ? "@FLAGS." : "@VALUES.") + std::string(name);
}

std::optional<std::int64_t> ValueNames::ParseNumber(std::string_view text) {
    text = TrimSpaces(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (negative) {
        if (magnitude > std::uint64_t{1} << 63) return std::nullopt;
        return static_cast<std::int64_t>(0 - magnitude);
    }
    // Hex masks may use the top bit; they are kept as the same 64 bits.
    return static_cast<std::int64_t>(magnitude);
}

bool ValueNames::Add(std::string_view key, std::string_view name) {
    Entry e;
    e.key = std::string(TrimSpaces(key));
    e.number = ParseNumber(e.key);
    e.name = std::string(TrimSpaces(name));
    if (kind_ == Kind::Flags) {
        const auto mask = static_cast<std::uint64_t>(e.number.value_or(0));
        if (!e.number || mask == 0 || (mask & (mask - 1)) != 0) return false;
        e.bit = 0;
        while ((mask >> e.bit) != 1) ++e.bit;
    }
    byName_.try_emplace(ToUpper(e.name), entries_.size());
    entries_.push_back(std::move(e));
    return true;
}

bool ValueNames::AllNumeric() const {
    for (const Entry& e : entries_)
        if (!e.number) return false;
    return true;
}

const std::string* ValueNames::NameOf(std::int64_t value) const {
    for (const Entry& e : entries_)
        if (e.number == value) return &e.name;
    return nullptr;
}

const std::string* ValueNames::NameOf(std::string_view text) const {
    text = TrimSpaces(text);
    for (const Entry& e : entries_)
        if (KeysEqual(e.key, text)) return &e.name;
    return nullptr;
}

const std::string* ValueNames::NameOf(const Property& p) const {
    if (const auto* text = std::get_if<std::string>(&p.Value)) return NameOf(std::string_view(*text));
    if (const auto* number = std::get_if<std::int64_t>(&p.Value)) return NameOf(*number);
    return nullptr;
}

const std::string* ValueNames::BitName(int bit) const {
    for (const Entry& e : entries_)
        if (e.bit == bit) return &e.name;
    return nullptr;
}

const ValueNames::Entry* ValueNames::Named(std::string_view name) const {
    const auto it = byName_.find(ToUpper(name));
    return it == byName_.end() ? nullptr : &entries_[it->second];
}

} // namespace vellum
