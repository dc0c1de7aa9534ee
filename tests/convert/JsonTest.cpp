#include "convert/JsonReader.h"
#include "convert/JsonWriter.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

std::string Written(const JsonValue& v) {
    std::string out;
    JsonWriter::Write(v, out);
    return out;
}

JsonValue Read(std::string_view text) {
    JsonReader r(text);
    JsonValue v = r.ReadValue();
    r.End();
    return v;
}

TEST(Json, ValuesReadBackAsWrittenWithEscapesAndNumbersKeptAsText) {
    const struct {
        std::string text;   // as read
        std::string canonical; // as written again
    } cases[] = {
        {R"({"a": 1, "b": [true, false, null], "c": {}})", R"({"a": 1, "b": [true, false, null], "c": {}})"},
        {R"(  [ 1.5e-3 ,-0, 12345678901234567890 ] )", R"([1.5e-3, -0, 12345678901234567890])"},
        {R"("tab\there \"q\" back\\ \/ \u00e9\u20ac \ud83d\ude00")", "\"tab\\there \\\"q\\\" back\\\\ / é€ 😀\""},
        {"\"\\u0001\\u001f\\b\\f\\n\\r\"", R"("\u0001\u001f\u0008\u000c\n\r")"},
        {R"({"z": "", "a": [[]]})", R"({"z": "", "a": [[]]})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const JsonValue v = Read(c.text);
        EXPECT_EQ(Written(v), c.canonical);
        EXPECT_EQ(Read(Written(v)), v);
    }
}

// Read part by part, as an import reads its records, in TextFormTest.
TEST(Json, MalformedTextIsRefusedWithItsLineAndColumn) {
    const struct {
        std::string text;
        std::size_t line, column;
    } cases[] = {
        {"", 1, 1},
        {"{\n  \"a\": 1,\n}", 3, 1},
        {"[1 2]", 1, 4},
        {"{\"a\" 1}", 1, 6},
        {"[01]", 1, 3},
        {"[1.]", 1, 4},
        {"[-]", 1, 3},
        {"[1e]", 1, 4},
        {"\"abc", 1, 5},
        {"\"a\nb\"", 1, 3},
        {"\"\\x\"", 1, 4},
        {"\"\\ud800\"", 1, 8},
        {"\"\\udc00x\"", 1, 8},
        {"[nul]", 1, 2},
        {"{} {}", 1, 4},
        {std::string(200, '['), 1, 65},
        {"[\"\\u12g4\"]", 1, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        try {
            Read(c.text);
            ADD_FAILURE() << "read without error";
        } catch (const JsonError& e) {
            EXPECT_EQ(e.line, c.line) << e.what();
            EXPECT_EQ(e.column, c.column) << e.what();
        }
    }
}

} // namespace
} // namespace vellum::test
