#include "template/PropertyTexts.h"

#include "model/ByteCast.h"
#include "model/KeyedCollection.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <array>
#include <charconv>
#include <cstring>

namespace vellum {

namespace {

using Type = SubrecordLayout::Type;

// "0 " to "255 ", with their lengths.
struct ByteText {
    std::array<char, 4> chars;
    std::uint8_t size;
};
const std::array<ByteText, 256>& ByteTexts() {
    static const auto table = [] {
        std::array<ByteText, 256> t{};
        for (int b = 0; b < 256; ++b) {
            auto r = std::to_chars(t[b].chars.data(), t[b].chars.data() + 4, b);
            *r.ptr = ' ';
            t[b].size = static_cast<std::uint8_t>(r.ptr - t[b].chars.data() + 1);
        }
        return t;
    }();
    return table;
}

void AppendBytes(std::string& out, const std::uint8_t* at, std::size_t n) {
    if (n == 0) return;
    const auto& table = ByteTexts();
    std::size_t start = out.size();
    out.resize(start + 4 * n);
    char* p = out.data() + start;
    for (std::size_t i = 0; i < n; ++i) {
        std::memcpy(p, table[at[i]].chars.data(), 4);
        p += table[at[i]].size;
    }
    out.resize(static_cast<std::size_t>(p - out.data()) - 1); // no blank after the last
}

template <class T>
void AppendNumber(std::string& out, T v) {
    char tmp[64];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    out.append(tmp, r.ptr);
}

// The text a decoded text property holds: cut at its first zero, blanks trimmed at the right.
void AppendTextValue(std::string& out, std::size_t begin) {
    if (std::size_t z = out.find('\0', begin); z != std::string::npos) out.resize(z);
    while (out.size() > begin && out.back() == ' ') out.pop_back();
}

} // namespace

const PropertyTexts::LayoutInfo& PropertyTexts::Info(const SubrecordLayout& layout) {
    auto [it, added] = info_.try_emplace(&layout);
    if (!added) return it->second;
    LayoutInfo& info = it->second;
    info.skip.assign(layout.Lines.size(), false);
    for (std::size_t j = 0; j < layout.Lines.size(); ++j) {
        const auto& line = layout.Lines[j];
        if (line.Kind == Type::Missing || KeysEqual(line.Name, "Unknown Data")) info.plain = false;
        if (line.Kind == Type::String) info.hasString = true;
        for (std::size_t i = 0; i < j && !info.skip[j]; ++i)
            if (layout.Lines[i].Kind != Type::Unknown && !info.skip[i] && KeysEqual(layout.Lines[i].Name, line.Name))
                info.skip[j] = true;
    }
    return info;
}

bool PropertyTexts::HasString(std::string_view recordType, std::string_view subType) {
    if (generation_ != codec_.Template().Generation()) {
        info_.clear();
        generation_ = codec_.Template().Generation();
    }
    const SubrecordLayout* layout = codec_.Layout(recordType, subType);
    return layout && Info(*layout).hasString;
}

void PropertyTexts::Add(std::string_view name, std::size_t begin, bool text) {
    items_.push_back({name, begin, text_.size() - begin, text});
}

bool PropertyTexts::Decode(std::string_view recordType, std::string_view subType, ByteSpan data) {
    items_.clear();
    text_.clear();
    if (generation_ != codec_.Template().Generation()) {
        info_.clear();
        generation_ = codec_.Template().Generation();
    }
    const SubrecordLayout* layout = codec_.Layout(recordType, subType);
    if (!layout) {
        AppendBytes(text_, data.data(), data.size());
        Add("Data", 0);
        return true;
    }
    const LayoutInfo& info = Info(*layout);
    if (info.plain && Fast(*layout, info, data)) return true;
    return Slow(recordType, subType, data);
}

bool PropertyTexts::Slow(std::string_view recordType, std::string_view subType, ByteSpan data) {
    items_.clear();
    text_.clear();
    bool ok = codec_.Decode(recordType, subType, data, scratch_);
    for (const auto& e : scratch_) {
        std::size_t begin = text_.size();
        text_ += e.value.Text();
        items_.push_back({e.value.Name, begin, text_.size() - begin, e.value.DataType == PropertyType::Text});
    }
    // The names point into scratch_, which stays until the next slow decode.
    return ok;
}

template <class T>
bool PropertyTexts::Fixed(const std::uint8_t* d, std::size_t left, std::size_t& pos) {
    if (left < sizeof(T)) return false;
    T v;
    std::memcpy(&v, d + pos, sizeof(T));
    AppendNumber(text_, v);
    pos += sizeof(T);
    return true;
}

// False when a value runs past the end of the data: the codec reports that itself.
bool PropertyTexts::Fast(const SubrecordLayout& layout, const LayoutInfo& info, ByteSpan data) {
    const std::uint8_t* d = data.data();
    const std::size_t size = data.size();
    std::size_t pos = 0;
    for (std::size_t j = 0; j < layout.Lines.size(); ++j) {
        if (pos >= size) break;
        const auto& line = layout.Lines[j];
        if (line.Kind == Type::Unknown || info.skip[j]) continue;
        const std::size_t left = size - pos;
        const std::size_t begin = text_.size();
        switch (line.Kind) {
        case Type::Short:
            if (!Fixed<std::int16_t>(d, left, pos)) return false;
            break;
        case Type::Long:
        case Type::Signed: {
            const auto n = static_cast<std::size_t>(line.Size);
            if (n > left) return false;
            AppendNumber(text_, cast::LoadInt(d + pos, n, line.Kind == Type::Signed));
            pos += n;
            break;
        }
        case Type::Long64:
            if (!Fixed<std::int64_t>(d, left, pos)) return false;
            break;
        case Type::Single:
            if (!Fixed<float>(d, left, pos)) return false;
            break;
        case Type::Double:
            if (!Fixed<double>(d, left, pos)) return false;
            break;
        case Type::Byte:
        case Type::BitField: {
            const auto z = static_cast<std::size_t>(line.Size);
            const std::size_t n = z != 0 && z <= left ? z : left;
            AppendBytes(text_, d + pos, n);
            pos += n;
            break;
        }
        case Type::String:
        case Type::StringList: {
            const char* at = reinterpret_cast<const char*>(d + pos);
            if (line.Size > 0) {
                text_.append(at, std::min(static_cast<std::size_t>(line.Size), left));
                pos += static_cast<std::size_t>(line.Size);
            } else if (line.Kind == Type::String) {
                const void* zero = std::memchr(at, 0, left);
                const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - at) : left;
                text_.append(at, n);
                pos += zero ? n + 1 : n;
            } else {
                for (; pos < size; ++pos) {
                    if (d[pos]) text_ += static_cast<char>(d[pos]);
                    else text_ += "\r\n";
                }
            }
            if (line.Size <= 0)
                while (pos < size && d[pos] == 0) ++pos;
            AppendTextValue(text_, begin);
            Add(line.Name, begin, true);
            continue;
        }
        default: continue;
        }
        Add(line.Name, begin);
    }
    if (pos < size) {
        std::size_t begin = text_.size();
        AppendBytes(text_, d + pos, size - pos);
        Add("Unknown Data", begin);
    }
    return true;
}

} // namespace vellum
