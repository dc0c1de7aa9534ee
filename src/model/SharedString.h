#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vellum {

// An immutable text that copies share: the file name every record of a file carries costs one
// allocation for the whole file.
class SharedString {
public:
    SharedString() = default;
    SharedString(std::string text) : text_(std::make_shared<const std::string>(std::move(text))) {}
    SharedString(const char* text) : SharedString(std::string(text)) {}

    const std::string& str() const { return text_ ? *text_ : Empty(); }
    operator const std::string&() const { return str(); }
    bool empty() const { return str().empty(); }
    friend bool operator==(const SharedString& a, std::string_view b) { return a.str() == b; }

private:
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }
    std::shared_ptr<const std::string> text_;
};

} // namespace vellum
