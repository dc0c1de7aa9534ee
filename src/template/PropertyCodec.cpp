#include "template/PropertyCodec.h"

#include "model/ByteCast.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "template/PropertyCodecCache.h"

#include <cmath>
#include <cstring>

namespace vellum {

namespace {

using Type = SubrecordLayout::Type;
using Line = SubrecordLayout::Line;

// Decodes one property line at `pos`, advancing it; the decoding rules of the format template.
class LineDecoder {
public:
    LineDecoder(ByteSpan data, PropertyCodec::DecodeReport& report) : data_(data), report_(report) {}

    std::size_t pos = 0;

    void Fill(const Line& line, Property& p) {
        p.Offset = pos;
        switch (line.Kind) {
        case Type::Short: Number(p, kShort, 2); break;
        case Type::Long: Number(p, kLong, line.Size); break;
        case Type::Long64: Number(p, kLong64, 8); break;
        case Type::Single: Number(p, kFloat, 4); break;
        case Type::Double: Number(p, kFloat, 8); break;
        case Type::Byte: Raw(p, kBytes, line.Size); break;
        case Type::BitField: Raw(p, kBitField, line.Size); break;
        case Type::String: Text(p, line.Size, false); break;
        case Type::StringList: Text(p, line.Size, true); break;
        default: break;
        }
    }

private:
    std::size_t Left() const { return data_.size() - pos; }

    void Number(Property& p, int type, int size) {
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
            p.Value = type == kFloat ? PropertyValue(0.0) : PropertyValue(std::int64_t{0});
            pos += n;
            return;
        }
        p.StoredLength = n;
        if (type == kFloat) {
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
        } else if (type == kLong64) {
            std::int64_t v;
            std::memcpy(&v, at, 8);
            p.Value = v;
        } else if (type == kShort) {
            std::int16_t v;
            std::memcpy(&v, at, 2);
            p.Value = std::int64_t{v};
        } else {
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t(at[i]) << (8 * i);
            p.Value = n == 4 ? std::int64_t{static_cast<std::int32_t>(v)} : std::int64_t{v};
        }
        pos += n;
    }

    void Raw(Property& p, int type, int declared) {
        p.DataType = type;
        const auto z = static_cast<std::size_t>(declared);
        const std::size_t n = z != 0 && z <= Left() ? z : Left();
        p.Size = static_cast<int>(n);
        p.StoredLength = n;
        const std::uint8_t* at = data_.data() + pos;
        p.Value = Bytes(at, at + n);
        pos += n;
    }

    void Text(Property& p, int declared, bool list) {
        p.DataType = kText;
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
    }

    ByteSpan data_;
    PropertyCodec::DecodeReport& report_;
};

// Keeps the stored bytes of a text whose value does not give them back.
void KeepOriginalIfLost(Property& p, ByteSpan data) {
    const std::size_t end = std::min(p.Offset + p.StoredLength, data.size());
    ByteSpan stored = data.subspan(p.Offset, end - p.Offset);
    thread_local Bytes scratch;
    scratch.clear();
    PropertyCodec::AppendProperty(p, scratch, false);
    if (scratch.size() != stored.size() ||
        !std::equal(scratch.begin(), scratch.end(), stored.begin()))
        p.Original.assign(stored.begin(), stored.end());
}

Property& AddUnique(Properties& out, std::string_view name) {
    if (Property* p = out.Add(std::string(name))) return *p;
    for (int i = 2;; ++i)
        if (Property* p = out.Add(std::string(name) + std::to_string(i))) return *p;
}

void AddRawData(Properties& out, std::string_view name, ByteSpan bytes) {
    Property& p = AddUnique(out, name);
    p.Name = out.KeyAt(out.Count());
    p.Description = "Unknown Data";
    p.DataType = kBytes;
    p.Size = static_cast<int>(bytes.size());
    p.StoredLength = bytes.size();
    p.Value = Bytes(bytes.begin(), bytes.end());
}

} // namespace

PropertyCodec::PropertyCodec(const Config& templ)
    : templ_(templ), cache_(std::make_unique<Cache>(templ)) {}

PropertyCodec::~PropertyCodec() = default;

std::string PropertyCodec::TemplateSubrecordType(std::string_view recordType,
                                                 std::string_view name, std::size_t size,
                                                 bool firstInRecord) {
    if (recordType == "NPC_" && name == "NPDT" && size == 12) return "NPDT_12";
    if (recordType == "CELL" && name == "DATA" && size == 24) return "DATA_24";
    if (recordType == "CELL" && name == "NAME" && !firstInRecord) return "NAME_NEXT";
    return std::string(name);
}

const SubrecordLayout* PropertyCodec::Layout(std::string_view recordType,
                                             std::string_view subType) const {
    return cache_->layouts.Subrecord(recordType, subType);
}

const RecordLayout& PropertyCodec::RecordInfo(std::string_view recordType) const {
    return cache_->layouts.Record(recordType);
}

void PropertyCodec::ParseTemplate() const { cache_->layouts.ParseAll(); }

bool PropertyCodec::Decode(std::string_view recordType, std::string_view subType, ByteSpan data,
                           Properties& out, DecodeReport* report) const {
    out.clear();
    DecodeReport local;
    DecodeReport& rep = report ? *report : local;
    const SubrecordLayout* layout = Layout(recordType, subType);
    if (!layout) {
        AddRawData(out, "Data", data);
        rep.unknownData = true;
        return true;
    }

    LineDecoder decoder(data, rep);
    for (const Line& line : layout->Lines) {
        if (decoder.pos >= data.size()) break; // a template may describe more than a short subrecord holds
        if (line.Kind == Type::Unknown) continue;
        if (line.Kind == Type::Missing) {
            out.clear();
            rep.templateError = true;
            CurrentPrompt().Message(
                "5: The property line '" + line.Name + "' has no type\n\n"
                "Possible cause: Error in format template entry for record/subrecord type "
                "(last type = " + std::string(recordType) + "." + std::string(subType) + ")");
            return false;
        }
        Property* added = out.Add(line.Name);
        if (!added) continue;
        Property& p = *added;
        p.Name = line.Name;
        p.Description = line.Name;
        decoder.Fill(line, p);
        if (p.DataType == kText) KeepOriginalIfLost(p, data);
        if (line.TextLookup) {
            p.TextLookup = true;
            p.RecordType = std::string(recordType);
        }
        p.FileLookup = line.FileLookup;
    }
    if (decoder.pos < data.size()) {
        AddRawData(out, "Unknown Data", data.subspan(decoder.pos));
        out.Item(out.Count()).Offset = decoder.pos;
        rep.unknownData = true;
    }
    return true;
}

bool PropertyCodec::Defaults(std::string_view recordType, std::string_view subType,
                             Properties& out) const {
    out.clear();
    const SubrecordLayout* layout = Layout(recordType, subType);
    if (!layout) return false;
    for (const Line& line : layout->Lines) {
        Property p;
        p.Name = line.Name;
        p.Description = line.Name;
        p.Size = line.Size;
        switch (line.Kind) {
        case Type::String:
        case Type::StringList:
            p.DataType = kText;
            p.IsStringList = line.Kind == Type::StringList;
            p.Value = std::string();
            p.StoredLength = line.Size > 0 ? static_cast<std::size_t>(line.Size) : 1;
            break;
        case Type::Byte:
        case Type::BitField:
            p.DataType = line.Kind == Type::Byte ? kBytes : kBitField;
            p.Value = Bytes(static_cast<std::size_t>(line.Size), 0);
            p.StoredLength = static_cast<std::size_t>(line.Size);
            break;
        case Type::Short: p.DataType = kShort, p.Size = 2, p.Value = std::int64_t{0}; break;
        case Type::Long: p.DataType = kLong, p.Value = std::int64_t{0}; break;
        case Type::Long64: p.DataType = kLong64, p.Size = 8, p.Value = std::int64_t{0}; break;
        case Type::Single: p.DataType = kFloat, p.Size = 4, p.Value = 0.0; break;
        case Type::Double: p.DataType = kFloat, p.Size = 8, p.Value = 0.0; break;
        default: continue;
        }
        if (p.DataType != kText && p.DataType != kBytes && p.DataType != kBitField)
            p.StoredLength = static_cast<std::size_t>(p.Size);
        if (line.TextLookup) {
            p.TextLookup = true;
            p.RecordType = std::string(recordType);
        }
        p.FileLookup = line.FileLookup;
        std::string key = p.Name;
        out.Add(std::move(key), std::move(p));
    }
    return true;
}

} // namespace vellum
