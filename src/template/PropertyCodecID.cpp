#include "template/PropertyCodec.h"

#include "model/ByteCast.h"
#include "model/KeyedCollection.h"
#include "model/Text.h"

#include <charconv>
#include <cstring>

namespace vellum {

namespace {

using Type = SubrecordLayout::Type;
using Source = RecordLayout::Source;

// One subrecord of packed record data: 4-character name, 32-bit size, data.
struct RawSubrecord {
    std::string_view name;
    ByteSpan data;
};

// Walks the subrecords of packed record data; stops at a header or size that does not fit.
class SubrecordWalker {
public:
    explicit SubrecordWalker(ByteSpan data) : data_(data) {}
    bool Next(RawSubrecord& out) {
        if (data_.size() - pos_ < 8) return false;
        const std::uint8_t* at = data_.data() + pos_;
        const std::size_t size = cast::LoadU32(at + 4);
        if (size > data_.size() - pos_ - 8) return false;
        out.name = std::string_view(reinterpret_cast<const char*>(at), 4);
        out.data = data_.subspan(pos_ + 8, size);
        pos_ += 8 + size;
        return true;
    }

private:
    ByteSpan data_;
    std::size_t pos_ = 0;
};

struct Part {
    std::string text;
    bool numeric = false;
    std::uint32_t number = 0;
    bool filled = false;
};

std::string_view AsText(ByteSpan bytes) {
    std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return s.substr(0, s.find('\0'));
}

// A subrecord carries a source's subrecord type by its four-character name ("NAME_NEXT" is
// stored as "NAME").
bool NameMatches(std::string_view name, std::string_view subType) {
    return subType.size() >= 4 && KeysEqual(name, subType.substr(0, 4));
}

bool IsText(Type t) { return t == Type::String || t == Type::StringList; }

// A number by the property's type; false for a type that is not read as a number.
bool ReadNumber(Type kind, int size, ByteSpan at, Part& part) {
    std::int64_t v = 0;
    switch (kind) {
    case Type::Byte:
        if (at.empty()) return false;
        v = at[0];
        break;
    case Type::Short:
    case Type::Long:
    case Type::Signed: {
        const auto n = kind == Type::Short ? 2 : static_cast<std::size_t>(size >= 1 && size <= 4 ? size : 4);
        if (at.size() < n) return false;
        v = cast::LoadInt(at.data(), n, kind != Type::Long);
        break;
    }
    default: return false;
    }
    part.numeric = true;
    part.number = static_cast<std::uint32_t>(v);
    char buf[24];
    part.text.assign(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    return true;
}

// The part of a source that lives in the data of subrecord `data`.
void ReadPart(const Source& src, ByteSpan data, bool firstSubrecordShortCut, Part& part) {
    part.filled = true;
    if (!src.MultiPropID) {
        // A single property is the subrecord's whole data. Read as a number only when it is
        // short and typed as one; a text stays a text at any length.
        if (firstSubrecordShortCut && data.size() <= 4 && !IsText(src.Kind)) {
            ReadNumber(src.Kind, src.Size, data, part);
            return;
        }
        part.text.assign(AsText(data));
        return;
    }
    if (!src.Found || src.Offset > data.size()) return;
    ByteSpan at = data.subspan(src.Offset);
    if (IsText(src.Kind)) {
        if (src.Size > 0) at = at.first(std::min(at.size(), static_cast<std::size_t>(src.Size)));
        part.text.assign(AsText(at));
        return;
    }
    ReadNumber(src.Kind, src.Size, at, part);
}

void AppendHex(std::string& out, std::uint32_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(v >> shift) & 0xF];
}

std::string Finish(std::string id) {
    if (id == "PlayerSaveGame00000000") id = "PlayerSaveGame";
    if (std::size_t z = id.find('\0'); z != std::string::npos) id.resize(z);
    id.resize(TrimRightSpaces(id).size());
    return id;
}

} // namespace

std::string PropertyCodec::ReadID(std::string_view recordType, ByteSpan recordData) const {
    const RecordLayout& layout = RecordInfo(recordType);
    if (layout.Sources.empty()) return {};

    std::size_t used = layout.Sources.size();
    RawSubrecord first, sub;
    SubrecordWalker walker(recordData);
    const bool hasFirst = walker.Next(first);
    if (used > 1 && recordType == "CELL" && hasFirst && walker.Next(sub) && !sub.data.empty() &&
        (sub.data[0] & 1))
        used = 1; // an interior cell is known by its name alone

    Part parts[8];
    std::vector<Part> more;
    Part* p = parts;
    if (used > std::size(parts)) {
        more.resize(used);
        p = more.data();
    }

    const Source& only = layout.Sources[0];
    if (used == 1 && !only.MultiPropID && hasFirst && NameMatches(first.name, only.SubID)) {
        ReadPart(only, first.data, true, p[0]);
    } else {
        SubrecordWalker all(recordData);
        std::size_t filled = 0;
        while (filled < used && all.Next(sub)) {
            for (std::size_t i = 0; i < used; ++i) {
                const Source& src = layout.Sources[i];
                if (p[i].filled || !NameMatches(sub.name, src.SubID)) continue;
                ReadPart(src, sub.data, false, p[i]);
                ++filled;
            }
        }
    }

    std::string id;
    for (std::size_t i = 0; i < used; ++i) {
        if (p[i].text.empty()) continue;
        if (layout.HexID) {
            if (p[i].numeric) AppendHex(id, p[i].number);
            else id += p[i].text;
        } else {
            if (!id.empty()) id += ", ";
            id += p[i].text;
        }
    }
    return Finish(std::move(id));
}

std::string PropertyCodec::ReadDescription(std::string_view recordType, ByteSpan recordData) const {
    const RecordLayout& layout = RecordInfo(recordType);
    if (!layout.HasDesc) return {};
    SubrecordWalker walker(recordData);
    RawSubrecord sub;
    while (walker.Next(sub)) {
        if (!NameMatches(sub.name, layout.Desc.SubID)) continue;
        Part part;
        ReadPart(layout.Desc, sub.data, false, part);
        return Finish(std::move(part.text));
    }
    return {};
}

} // namespace vellum
