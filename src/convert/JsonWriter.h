#pragma once

#include "convert/JsonValue.h"

#include <string>
#include <string_view>

namespace vellum {

// Writes JSON text: a value on one line, members separated by ", " and keys by ": ".
class JsonWriter {
public:
    static void Write(const JsonValue& value, std::string& out);
    // A string with its quotes; `utf8` is taken as UTF-8 and only what JSON demands is escaped.
    static void WriteString(std::string_view utf8, std::string& out);
};

} // namespace vellum
