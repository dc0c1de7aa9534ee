#include "convert/JsonWriter.h"

namespace vellum {

void JsonWriter::WriteString(std::string_view utf8, std::string& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t plain = 0; // start of the run of characters written as they are
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(utf8.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            out += "\\u00";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    out.append(utf8.substr(plain));
    out.push_back('"');
}

void JsonWriter::Write(const JsonValue& value, std::string& out) {
    switch (value.kind) {
    case JsonValue::Kind::Null: out += "null"; break;
    case JsonValue::Kind::Bool: out += value.boolean ? "true" : "false"; break;
    case JsonValue::Kind::Number: out += value.text; break;
    case JsonValue::Kind::String: WriteString(value.text, out); break;
    case JsonValue::Kind::Array:
        out.push_back('[');
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i) out += ", ";
            Write(value.items[i], out);
        }
        out.push_back(']');
        break;
    case JsonValue::Kind::Object:
        out.push_back('{');
        for (std::size_t i = 0; i < value.members.size(); ++i) {
            if (i) out += ", ";
            WriteString(value.members[i].first, out);
            out += ": ";
            Write(value.members[i].second, out);
        }
        out.push_back('}');
        break;
    }
}

} // namespace vellum
