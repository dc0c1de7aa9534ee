#include "template/PropertyCodec.h"

#include <cstring>

namespace vellum {

namespace {

template <class T>
void Put(Bytes& out, T v, std::size_t n = sizeof(T)) {
    std::uint8_t b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T)); // the file format and the machine are little-endian
    out.insert(out.end(), b, b + n);
}

void PutText(const Property& p, Bytes& out, bool keepLayout) {
    const std::string* value = std::get_if<std::string>(&p.Value);
    std::string converted;
    if (!value) {
        converted = p.Text();
        value = &converted;
    }
    const std::size_t start = out.size();
    if (p.IsStringList) {
        out.reserve(start + value->size() + 1);
        for (std::size_t i = 0; i < value->size(); ++i) {
            if ((*value)[i] == '\r' && i + 1 < value->size() && (*value)[i + 1] == '\n') {
                out.push_back(0);
                ++i;
            } else {
                out.push_back(static_cast<std::uint8_t>((*value)[i]));
            }
        }
    } else {
        out.insert(out.end(), value->begin(), value->end());
    }
    std::size_t written = out.size() - start;

    if (p.Size > 0) {
        // Stored shorter than declared: keep the stored size while the value fits in it.
        const auto declared = static_cast<std::size_t>(p.Size);
        const std::size_t stored = p.StoredLength;
        const std::size_t n = stored > 0 && stored < declared && written <= stored ? stored : declared;
        out.resize(start + n, 0);
        return;
    }
    const bool endsWithZero = written > 0 && out.back() == 0;
    if (!endsWithZero && (p.Terminated || written == 0)) out.push_back(0), ++written;
    if (keepLayout && written < p.StoredLength) out.resize(start + p.StoredLength, 0);
}

void PutNumber(const Property& p, Bytes& out) {
    switch (p.DataType) {
    case PropertyType::Long64: Put(out, p.Int()); break;
    case PropertyType::Float:
        if (p.Size == 8) Put(out, p.Real());
        else Put(out, static_cast<float>(p.Real()));
        break;
    default: {
        const int n = p.Size >= 1 && p.Size <= 4 ? p.Size : 4;
        Put(out, static_cast<std::uint32_t>(p.Int()), static_cast<std::size_t>(n));
        break;
    }
    }
}

} // namespace

void PropertyCodec::AppendProperty(const Property& p, Bytes& out, bool fresh) {
    const bool keepLayout = !fresh && !p.Dirty;
    if (keepLayout && !p.Original.empty()) {
        out.insert(out.end(), p.Original.begin(), p.Original.end());
        return;
    }
    switch (p.DataType) {
    case PropertyType::Text: PutText(p, out, keepLayout); break;
    case PropertyType::Bytes:
    case PropertyType::BitField: {
        const Bytes& raw = p.Raw();
        out.insert(out.end(), raw.begin(), raw.end());
        break;
    }
    default: PutNumber(p, out); break;
    }
}

Bytes PropertyCodec::Encode(const Properties& props) const {
    Bytes out;
    for (const auto& e : props) AppendProperty(e.value, out, false);
    return out;
}

Bytes PropertyCodec::EncodeFresh(const Properties& props) {
    Bytes out;
    for (const auto& e : props) AppendProperty(e.value, out, true);
    return out;
}

} // namespace vellum
