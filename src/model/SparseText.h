#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vellum {

// A text that is empty for almost every record (previous ID, parent key, description): it takes
// one pointer while empty instead of a whole std::string. Copies are deep.
class SparseText {
public:
    SparseText() = default;
    SparseText(std::string text) { assign(std::move(text)); }
    SparseText(const char* text) { assign(text); }
    SparseText(const SparseText& o) { *this = o; }
    SparseText(SparseText&&) noexcept = default;
    SparseText& operator=(const SparseText& o) {
        if (this != &o) text_ = o.text_ ? std::make_unique<std::string>(*o.text_) : nullptr;
        return *this;
    }
    SparseText& operator=(SparseText&&) noexcept = default;
    SparseText& operator=(std::string text) {
        assign(std::move(text));
        return *this;
    }

    const std::string& str() const { return text_ ? *text_ : Empty(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    bool empty() const { return !text_; }
    void clear() { text_.reset(); }
    std::size_t size() const { return str().size(); }
    friend bool operator==(const SparseText& a, std::string_view b) { return a.str() == b; }

private:
    void assign(std::string text) {
        text_ = text.empty() ? nullptr : std::make_unique<std::string>(std::move(text));
    }
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }
    std::unique_ptr<std::string> text_;
};

} // namespace vellum
