#include "model/Property.h"

#include <charconv>

namespace vellum {

std::string Property::Text() const {
    struct Visitor {
        const Property& p;
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const {
            char buf[64];
            // Shortest text that reads back as the same number at the stored precision.
            auto r = p.Size == 4 ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v))
                                 : std::to_chars(buf, buf + sizeof buf, v);
            return std::string(buf, r.ptr);
        }
        std::string operator()(const Bytes& b) const {
            std::string out;
            for (std::size_t i = 0; i < b.size(); ++i) {
                if (i) out += ' ';
                out += std::to_string(b[i]);
            }
            return out;
        }
    };
    return std::visit(Visitor{*this}, Value);
}

std::int64_t Property::Int() const {
    if (auto* i = std::get_if<std::int64_t>(&Value)) return *i;
    if (auto* d = std::get_if<double>(&Value)) return static_cast<std::int64_t>(*d);
    return 0;
}

double Property::Real() const {
    if (auto* d = std::get_if<double>(&Value)) return *d;
    if (auto* i = std::get_if<std::int64_t>(&Value)) return static_cast<double>(*i);
    return 0;
}

const Bytes& Property::Raw() const {
    static const Bytes empty;
    auto* b = std::get_if<Bytes>(&Value);
    return b ? *b : empty;
}

} // namespace vellum
