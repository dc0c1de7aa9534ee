#include "template/PropertyDecoder.h"

#include "model/ByteCast.h"
#include "model/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vellum {

using Type = SubrecordLayout::Type;

void PropertyDecoder::Fill(const SubrecordLayout::Line& line, Property& p) {
    p.Offset = pos;
    switch (line.Kind) {
    case Type::Short: Number(p, PropertyType::Short, 2); break;
    case Type::Long: Number(p, PropertyType::Long, line.Size); break;
    case Type::Signed: Number(p, PropertyType::Short, line.Size); break;
    case Type::Long64: Number(p, PropertyType::Long64, 8); break;
    case Type::Single: Number(p, PropertyType::Float, 4); break;
    case Type::Double: Number(p, PropertyType::Float, 8); break;
    case Type::Byte: Raw(p, PropertyType::Bytes, line.Size); break;
    case Type::BitField: Raw(p, PropertyType::BitField, line.Size); break;
    case Type::String: Text(p, line.Size, false); break;
    case Type::StringList: Text(p, line.Size, true); break;
    default: break;
    }
}

void PropertyDecoder::Number(Property& p, PropertyType type, int size) {
    p.DataType = type;
    p.Size = size;
    const auto n = static_cast<std::size_t>(size);
    const std::uint8_t* at = data_.data() + pos;
    if (n > Left()) {
        // Cut short by the end of the data: reported, shown as 0, written back as it was.
        cast::ReportFailure();
        ++report_.castErrors;
        p.StoredLength = Left();
        p.Original.assign(at, at + Left());
        p.Value = type == PropertyType::Float ? PropertyValue(0.0) : PropertyValue(std::int64_t{0});
        pos += n;
        return;
    }
    p.StoredLength = n;
    if (type == PropertyType::Float) {
        if (size == 4) {
            float f;
            std::memcpy(&f, at, 4);
            p.Value = static_cast<double>(f);
            if (std::isnan(f)) p.Original.assign(at, at + 4); // NaN payloads may not survive
        } else {
            double d;
            std::memcpy(&d, at, 8);
            p.Value = d;
        }
    } else if (type == PropertyType::Long64) {
        std::int64_t v;
        std::memcpy(&v, at, 8);
        p.Value = v;
    } else {
        p.Value = cast::LoadInt(at, n, type == PropertyType::Short);
    }
    pos += n;
}

void PropertyDecoder::Raw(Property& p, PropertyType type, int declared) {
    p.DataType = type;
    const auto z = static_cast<std::size_t>(declared);
    const std::size_t n = z != 0 && z <= Left() ? z : Left();
    p.Size = static_cast<int>(n);
    p.StoredLength = n;
    const std::uint8_t* at = data_.data() + pos;
    p.Value = Bytes(at, at + n);
    pos += n;
}

void PropertyDecoder::Text(Property& p, int declared, bool list) {
    p.DataType = PropertyType::Text;
    p.IsStringList = list;
    p.Size = declared;
    const std::size_t start = pos;
    const char* at = reinterpret_cast<const char*>(data_.data()) + pos;
    std::string text;
    if (declared > 0) {
        // Real files store some fixed-size texts shorter than declared: take what is there.
        const std::size_t n = std::min(static_cast<std::size_t>(declared), Left());
        text.assign(at, n);
        p.StoredLength = n;
        pos += static_cast<std::size_t>(declared);
    } else if (!list) {
        const void* zero = std::memchr(at, 0, Left());
        const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - at)
                                   : Left();
        text.assign(at, n);
        p.Terminated = zero != nullptr;
        pos += zero ? n + 1 : n;
    } else {
        text.reserve(Left() + 8);
        for (; pos < data_.size(); ++pos) {
            if (data_[pos]) text += static_cast<char>(data_[pos]);
            else text += "\r\n";
        }
        p.Terminated = data_.back() == 0;
    }
    if (declared <= 0) {
        while (pos < data_.size() && data_[pos] == 0) ++pos;
        p.StoredLength = pos - start;
    }
    if (std::size_t z = text.find('\0'); z != std::string::npos) text.resize(z);
    text.resize(TrimRightSpaces(text).size());
    p.Value = std::move(text);
    KeepOriginalIfLost(p);
}

// Keeps the stored bytes of a text whose value does not give them back (spaces before the end,
// bytes after the first zero, CR LF inside a list).
void PropertyDecoder::KeepOriginalIfLost(Property& p) const {
    const std::size_t end = std::min(p.Offset + p.StoredLength, data_.size());
    ByteSpan stored = data_.subspan(p.Offset, end - p.Offset);
    thread_local Bytes scratch;
    scratch.clear();
    PropertyCodec::AppendProperty(p, scratch, false);
    if (!std::equal(scratch.begin(), scratch.end(), stored.begin(), stored.end()))
        p.Original.assign(stored.begin(), stored.end());
}

} // namespace vellum
