#pragma once

#include "convert/JsonValue.h"

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vellum {

// A part of the text form that cannot be turned back into bytes; `line` is where it stands in
// the JSON text (0 when unknown).
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const std::string& what, std::size_t line = 0)
        : std::runtime_error(what), line(line) {}
    std::size_t line;
};

// Refuses a member of `object` outside `known`, so that a misspelt name is not silently ignored;
// `what` names the object in the message ("a record").
inline void OnlyMembers(const JsonValue& object, std::initializer_list<std::string_view> known,
                        std::string_view what) {
    for (const auto& m : object.members) {
        bool ok = false;
        for (std::string_view k : known) ok = ok || m.first == k;
        if (!ok) throw ConvertError(std::string(what) + " has no member \"" + m.first + "\"", m.second.line);
    }
}

} // namespace vellum
