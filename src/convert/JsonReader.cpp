#include "convert/JsonReader.h"

#include <array>

namespace vellum {

JsonError::JsonError(const std::string& what, std::size_t l, std::size_t c)
    : std::runtime_error(what), line(l), column(c) {}

void JsonReader::Fail(const std::string& what) const {
    throw JsonError(what, line_, pos_ - lineStart_ + 1);
}

void JsonReader::SkipSpace() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') {
            ++line_;
            lineStart_ = pos_ + 1;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            return;
        }
        ++pos_;
    }
}

char JsonReader::Peek() {
    SkipSpace();
    if (pos_ >= text_.size()) Fail("unexpected end of the text");
    return text_[pos_];
}

void JsonReader::Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++pos_;
}

void JsonReader::Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) Fail("unexpected character");
    pos_ += word.size();
}

JsonValue JsonReader::ReadValue() { return Value(static_cast<int>(levels_.size())); }

JsonValue JsonReader::Value(int depth) {
    if (depth >= kMaxDepth) Fail("nested too deeply");
    const char c = Peek();
    JsonValue v;
    v.line = line_;
    switch (c) {
    case '{':
        ++pos_;
        v.kind = JsonValue::Kind::Object;
        if (Peek() == '}') {
            ++pos_;
            return v;
        }
        for (;;) {
            if (Peek() != '"') Fail("expected a member name");
            std::string key = String();
            Expect(':');
            v.members.emplace_back(std::move(key), Value(depth + 1));
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            Expect('}');
            return v;
        }
    case '[':
        ++pos_;
        v.kind = JsonValue::Kind::Array;
        if (Peek() == ']') {
            ++pos_;
            return v;
        }
        for (;;) {
            v.items.push_back(Value(depth + 1));
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            Expect(']');
            return v;
        }
    case '"':
        v.kind = JsonValue::Kind::String;
        v.text = String();
        return v;
    case 't':
        Word("true");
        v.kind = JsonValue::Kind::Bool;
        v.boolean = true;
        return v;
    case 'f':
        Word("false");
        v.kind = JsonValue::Kind::Bool;
        return v;
    case 'n': Word("null"); return v;
    default:
        v.kind = JsonValue::Kind::Number;
        v.text = NumberText();
        return v;
    }
}

std::string JsonReader::NumberText() {
    const std::size_t start = pos_;
    auto digits = [&] {
        const std::size_t from = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        return pos_ - from;
    };
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '0') {
        ++pos_;
    } else if (digits() == 0) {
        Fail(pos_ == start ? "unexpected character" : "expected a digit");
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
        ++pos_;
        if (digits() == 0) Fail("expected a digit");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
        ++pos_;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
        if (digits() == 0) Fail("expected a digit");
    }
    return std::string(text_.substr(start, pos_ - start));
}

unsigned JsonReader::Hex4() {
    if (text_.size() - pos_ < 4) Fail("unexpected end of the text");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = text_[pos_++];
        v <<= 4;
        if (c >= '0' && c <= '9') v |= unsigned(c - '0');
        else if (c >= 'a' && c <= 'f') v |= unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') v |= unsigned(c - 'A' + 10);
        else Fail("bad \\u escape");
    }
    return v;
}

void JsonReader::AppendEscape(std::string& out) {
    if (pos_ >= text_.size()) Fail("unexpected end of the text");
    const char c = text_[pos_++];
    switch (c) {
    case '"': out.push_back('"'); return;
    case '\\': out.push_back('\\'); return;
    case '/': out.push_back('/'); return;
    case 'b': out.push_back('\b'); return;
    case 'f': out.push_back('\f'); return;
    case 'n': out.push_back('\n'); return;
    case 'r': out.push_back('\r'); return;
    case 't': out.push_back('\t'); return;
    case 'u': break;
    default: Fail("bad escape");
    }
    char32_t u = Hex4();
    if (u >= 0xDC00 && u <= 0xDFFF) Fail("lone surrogate in \\u escape");
    if (u >= 0xD800 && u <= 0xDBFF) {
        if (text_.substr(pos_, 2) != "\\u") Fail("lone surrogate in \\u escape");
        pos_ += 2;
        const char32_t low = Hex4();
        if (low < 0xDC00 || low > 0xDFFF) Fail("lone surrogate in \\u escape");
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
    }
    if (u < 0x80) {
        out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (u >> 12)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (u >> 18)));
        out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
}

std::string JsonReader::String() {
    ++pos_; // the opening quote
    std::string out;
    for (;;) {
        // Characters that end a plain run: the quote, the escape and the control characters.
        static constexpr auto kStop = [] {
            std::array<bool, 256> t{};
            for (int c = 0; c < 0x20; ++c) t[c] = true;
            t['"'] = t['\\'] = true;
            return t;
        }();
        std::size_t run = pos_;
        const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
        while (run < text_.size() && !kStop[text[run]]) ++run;
        out.append(text_.substr(pos_, run - pos_));
        pos_ = run;
        if (pos_ >= text_.size()) Fail("unterminated string");
        const char c = text_[pos_++];
        if (c == '"') return out;
        if (c == '\\') {
            AppendEscape(out);
        } else {
            --pos_;
            Fail("control character in a string");
        }
    }
}

void JsonReader::BeginObject() {
    Expect('{');
    levels_.push_back('o');
    firsts_.push_back(1);
}

void JsonReader::BeginArray() {
    Expect('[');
    levels_.push_back('a');
    firsts_.push_back(1);
}

bool JsonReader::Close(char kind, char closing) {
    if (levels_.empty() || levels_.back() != kind) Fail(kind == 'o' ? "not in an object" : "not in an array");
    const bool first = firsts_.back();
    firsts_.back() = 0;
    if (Peek() == closing) {
        ++pos_;
        levels_.pop_back();
        firsts_.pop_back();
        return true;
    }
    if (!first) Expect(',');
    return false;
}

bool JsonReader::NextMember(std::string& key) {
    if (Close('o', '}')) return false;
    if (Peek() != '"') Fail("expected a member name");
    key = String();
    Expect(':');
    return true;
}

bool JsonReader::NextItem() { return !Close('a', ']'); }

void JsonReader::End() {
    SkipSpace();
    if (pos_ != text_.size()) Fail("text after the end of the document");
}

} // namespace vellum
