#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum {

// One value of a JSON document. Numbers keep the text they were written with, so that a
// reader can parse them at the precision the data needs (a 32-bit float from its shortest
// text, a 64-bit integer exactly). Members keep their order; keys compare exactly.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text; // the string's contents (UTF-8), or the number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;
    std::size_t line = 0; // where the value began in the text read; 0 when built in memory

    static JsonValue Number(std::string text);
    static JsonValue String(std::string text);
    static JsonValue Array() { return Of(Kind::Array); }
    static JsonValue Object() { return Of(Kind::Object); }
    static JsonValue Of(Kind kind);

    bool IsNumber() const { return kind == Kind::Number; }
    bool IsString() const { return kind == Kind::String; }
    bool IsArray() const { return kind == Kind::Array; }
    bool IsObject() const { return kind == Kind::Object; }

    // The member of that key, or nullptr (also when this is not an object).
    const JsonValue* Find(std::string_view key) const;
    JsonValue& Add(std::string key, JsonValue value);

    // Same kind and contents; numbers compare by their text, lines are not compared.
    friend bool operator==(const JsonValue& a, const JsonValue& b);
};

} // namespace vellum
