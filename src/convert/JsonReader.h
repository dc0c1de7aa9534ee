#pragma once

#include "convert/JsonValue.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vellum {

// A JSON text that cannot be read: what was wrong, with the line and column where it was seen.
class JsonError : public std::runtime_error {
public:
    JsonError(const std::string& what, std::size_t line, std::size_t column);
    std::size_t line, column;
};

// Reads JSON text strictly (RFC 8259). A document too big to hold as one value is walked with
// the pull calls (BeginObject/NextMember, BeginArray/NextItem) and its parts read as values.
// Nesting deeper than kMaxDepth is refused, so hostile input cannot exhaust the stack.
class JsonReader {
public:
    static constexpr int kMaxDepth = 64;

    explicit JsonReader(std::string_view text) : text_(text) {}

    JsonValue ReadValue();

    void BeginObject();
    // The next member's key, the reader then standing at its value; false at the closing brace.
    bool NextMember(std::string& key);
    void BeginArray();
    // True when another item follows (the reader stands at it); false at the closing bracket.
    bool NextItem();
    // Nothing but white space may remain.
    void End();

    std::size_t Line() const { return line_; }
    [[noreturn]] void Fail(const std::string& what) const;

private:
    void SkipSpace();
    char Peek();
    void Expect(char c);
    JsonValue Value(int depth);
    std::string String();
    std::string NumberText();
    void Word(std::string_view word);
    void AppendEscape(std::string& out);
    unsigned Hex4();

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t lineStart_ = 0;
    // At an open pull-level's closing character: consumes it and says true; else consumes the
    // comma before any but the first entry.
    bool Close(char kind, char closing);

    std::string levels_; // 'o' (object) or 'a' (array) per open pull-level
    std::string firsts_; // 1 while that level has given no entry yet
};

} // namespace vellum
