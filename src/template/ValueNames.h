#pragma once

#include "model/Bytes.h"
#include "model/Property.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vellum {

// A list of names from the format template that a property line asks for by its third part.
// "[@VALUES.Skill]" names the values of a number or a short text ("0 = Block", "-1 = None");
// "[@FLAGS.Light]" names the bits of a bit field by their value ("0x0008 = Flicker").
class ValueNames {
public:
    enum class Kind { Values, Flags };

    struct Entry {
        std::string key;                   // as written in the template
        std::optional<std::int64_t> number; // the key read as a number, when it is one
        int bit = -1;                      // Flags: the bit the key's value sets (0 is the lowest)
        std::string name;
    };

    // Heading of the group that holds the list `name` of this kind: "@VALUES.name", "@FLAGS.name".
    static std::string GroupName(Kind kind, std::string_view name);
    // "12", "-1" or "0x1C" as a number; nothing for any other text.
    static std::optional<std::int64_t> ParseNumber(std::string_view text);

    ValueNames(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    // Adds an entry; false (nothing added) for a Flags key that is not a single bit.
    bool Add(std::string_view key, std::string_view name);

    Kind kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    bool AllNumeric() const; // every key is a number

    // The name of a number, or of a text compared without regard to letter case; nullptr when
    // the list does not name it.
    const std::string* NameOf(std::int64_t value) const;
    const std::string* NameOf(std::string_view text) const;
    // The name of the value a decoded property holds (number or text by its type).
    const std::string* NameOf(const Property& p) const;
    // Flags: the name of a bit; nullptr when the list does not name it.
    const std::string* BitName(int bit) const;
    // The entry a name stands for, compared without regard to letter case: the first that
    // bears it. A value is written by name only where this leads back to the value's own entry.
    const Entry* Named(std::string_view name) const;

private:
    Kind kind_;
    std::string name_;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> byName_; // upper-case name -> first entry
};

} // namespace vellum
