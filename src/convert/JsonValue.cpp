#include "convert/JsonValue.h"

namespace vellum {

JsonValue JsonValue::Of(Kind kind) {
    JsonValue v;
    v.kind = kind;
    return v;
}

JsonValue JsonValue::Number(std::string text) {
    JsonValue v = Of(Kind::Number);
    v.text = std::move(text);
    return v;
}

JsonValue JsonValue::String(std::string text) {
    JsonValue v = Of(Kind::String);
    v.text = std::move(text);
    return v;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

JsonValue& JsonValue::Add(std::string key, JsonValue value) {
    members.emplace_back(std::move(key), std::move(value));
    return members.back().second;
}

bool operator==(const JsonValue& a, const JsonValue& b) {
    return a.kind == b.kind && a.boolean == b.boolean && a.text == b.text && a.items == b.items &&
           a.members == b.members;
}

} // namespace vellum
