#include "convert/SubrecordJson.h"

#include "convert/ConvertError.h"
#include "convert/HexText.h"
#include "model/CodePage.h"
#include "model/Prompt.h"
#include "model/Property.h"
#include "model/Text.h"
#include "template/PropertyCodec.h"
#include "template/SubrecordLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vellum {

namespace {

using Type = SubrecordLayout::Type;
constexpr std::string_view kUnknownData = "Unknown Data";
constexpr std::string_view kListBreak = "\r\n";

// Swallows what decoding says: the text form keeps bytes the template cannot read as they are.
class QuietPrompt : public Prompt {
public:
    Answer Ask(std::string_view, Buttons, std::string_view) override { return Answer::OK; }
};

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

template <class T>
std::string NumberText(T v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

JsonValue FloatValue(double d, bool single) {
    if (std::isnan(d)) return JsonValue::String("NaN");
    if (std::isinf(d)) return JsonValue::String(d < 0 ? "-Infinity" : "Infinity");
    return JsonValue::Number(single ? NumberText(static_cast<float>(d)) : NumberText(d));
}

std::int64_t WholeNumber(const JsonValue& v, std::string_view name) {
    std::int64_t n = 0;
    const char* end = v.text.data() + v.text.size();
    if (!v.IsNumber() || std::from_chars(v.text.data(), end, n).ptr != end)
        throw ConvertError(Quoted(name) + " needs a whole number", v.line);
    return n;
}

std::int64_t WholeNumberIn(const JsonValue& v, std::string_view name, std::int64_t lo, std::int64_t hi) {
    const std::int64_t n = WholeNumber(v, name);
    if (n < lo || n > hi)
        throw ConvertError(Quoted(name) + " must lie between " + std::to_string(lo) + " and " +
                               std::to_string(hi) + ", not " + v.text,
                           v.line);
    return n;
}

template <class T>
T RealNumber(const JsonValue& v, std::string_view name) {
    if (v.IsString()) {
        if (v.text == "NaN") return std::numeric_limits<T>::quiet_NaN();
        if (v.text == "Infinity") return std::numeric_limits<T>::infinity();
        if (v.text == "-Infinity") return -std::numeric_limits<T>::infinity();
    }
    T x{};
    const char* end = v.text.data() + v.text.size();
    const auto r = std::from_chars(v.text.data(), end, x);
    if (!v.IsNumber() || r.ptr != end || r.ec != std::errc())
        throw ConvertError(Quoted(name) + " needs a number that fits its type", v.line);
    return x;
}

Bytes HexBytes(const JsonValue& v, std::string_view name) {
    Bytes out;
    if (!v.IsString() || !FromHex(v.text, out))
        throw ConvertError(Quoted(name) + " needs bytes as pairs of hexadecimal digits", v.line);
    return out;
}

// The lowest `size` bytes of a whole number, least significant first.
Bytes LittleEndian(std::uint64_t n, int size) {
    Bytes out(static_cast<std::size_t>(size));
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(n);
        n >>= 8;
    }
    return out;
}

std::uint64_t MaxUnsigned(int bytes) { return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1; }

Bytes BitFieldBytes(const JsonValue& v, const SubrecordLayout::Line& line) {
    if (v.IsString()) return HexBytes(v, line.Name);
    const int size = line.Size;
    if (size < 1 || size > 8)
        throw ConvertError(Quoted(line.Name) + " has no fixed width of at most 8 bytes: give its bytes "
                                               "in hexadecimal",
                           v.line);
    std::uint64_t bits = 0;
    auto add = [&](const JsonValue& part) {
        std::uint64_t n = 0;
        const char* end = part.text.data() + part.text.size();
        if (!part.IsNumber() || std::from_chars(part.text.data(), end, n).ptr != end || n > MaxUnsigned(size))
            throw ConvertError(Quoted(line.Name) + " needs a whole number from 0 to " +
                                   std::to_string(MaxUnsigned(size)),
                               part.line);
        bits |= n;
    };
    if (v.IsArray()) {
        for (const JsonValue& part : v.items) add(part);
    } else {
        add(v);
    }
    return LittleEndian(bits, size);
}

std::string TextBytes(const JsonValue& v, const SubrecordLayout::Line& line, int codePage, bool unterminated) {
    std::string utf8;
    if (line.Kind == Type::StringList && v.IsArray()) {
        // Each string is followed by a zero byte, the last one too unless it ends the data bare.
        for (std::size_t i = 0; i < v.items.size(); ++i) {
            const JsonValue& s = v.items[i];
            if (!s.IsString()) throw ConvertError(Quoted(line.Name) + " needs a list of texts", s.line);
            utf8 += s.text;
            if (i + 1 < v.items.size() || !unterminated) utf8 += kListBreak;
        }
    } else if (v.IsString()) {
        utf8 = v.text;
    } else {
        throw ConvertError(Quoted(line.Name) + " needs a text", v.line);
    }
    std::string bytes;
    if (!Utf8ToCodePage(utf8, codePage, bytes))
        throw ConvertError(Quoted(line.Name) + " holds a character that code page " + std::to_string(codePage) +
                               " cannot store",
                           v.line);
    if (bytes.find('\0') != std::string::npos)
        throw ConvertError(Quoted(line.Name) + " may not hold a zero character", v.line);
    if (line.Size > 0 && bytes.size() > static_cast<std::size_t>(line.Size))
        throw ConvertError(Quoted(line.Name) + " is longer than its " + std::to_string(line.Size) + " bytes",
                           v.line);
    return bytes;
}

// The property of `line` holding `v`, ready for fresh encoding.
Property PropertyFor(const SubrecordLayout::Line& line, const JsonValue& v, int codePage, bool unterminated) {
    Property p;
    p.Name = line.Name;
    switch (line.Kind) {
    case Type::String:
    case Type::StringList:
        p.DataType = PropertyType::Text;
        p.IsStringList = line.Kind == Type::StringList;
        p.Size = std::max(line.Size, 0);
        p.Value = TextBytes(v, line, codePage, unterminated);
        p.Terminated = !unterminated || line.Size > 0;
        break;
    case Type::Short:
        p.DataType = PropertyType::Short, p.Size = 2;
        p.Value = WholeNumberIn(v, line.Name, std::numeric_limits<std::int16_t>::min(),
                                std::numeric_limits<std::uint16_t>::max());
        break;
    case Type::Long:
    case Type::Signed: {
        // The decoder gives a signed integer the short's type at the line's width.
        p.DataType = line.Kind == Type::Long ? PropertyType::Long : PropertyType::Short;
        p.Size = line.Size >= 1 && line.Size <= 4 ? line.Size : 4;
        const auto top = static_cast<std::int64_t>(MaxUnsigned(p.Size));
        p.Value = WholeNumberIn(v, line.Name, -(top / 2) - 1, top);
        break;
    }
    case Type::Long64: p.DataType = PropertyType::Long64, p.Size = 8, p.Value = WholeNumber(v, line.Name); break;
    case Type::Single:
        p.DataType = PropertyType::Float, p.Size = 4, p.Value = static_cast<double>(RealNumber<float>(v, line.Name));
        break;
    case Type::Double: p.DataType = PropertyType::Float, p.Size = 8, p.Value = RealNumber<double>(v, line.Name); break;
    case Type::Byte: p.DataType = PropertyType::Bytes, p.Value = HexBytes(v, line.Name); break;
    case Type::BitField: p.DataType = PropertyType::BitField, p.Value = BitFieldBytes(v, line); break;
    default: break;
    }
    return p;
}

} // namespace

JsonValue SubrecordJson::ValueOf(const Property& p) const {
    switch (p.DataType) {
    case PropertyType::Text: {
        const std::string* text = std::get_if<std::string>(&p.Value);
        const std::string utf8 = CodePageToUtf8(text ? *text : p.Text(), codePage_);
        if (!p.IsStringList) return JsonValue::String(utf8);
        JsonValue list = JsonValue::Array();
        std::string_view rest = utf8;
        while (!rest.empty()) {
            const std::size_t cut = rest.find(kListBreak);
            list.items.push_back(JsonValue::String(std::string(rest.substr(0, cut))));
            rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + kListBreak.size());
        }
        return list;
    }
    case PropertyType::Float: return FloatValue(p.Real(), p.Size != 8);
    case PropertyType::BitField: {
        const Bytes& raw = p.Raw();
        if (raw.empty() || raw.size() > 8 || static_cast<int>(raw.size()) != p.Size) break;
        std::uint64_t n = 0;
        for (std::size_t i = raw.size(); i-- > 0;) n = n << 8 | raw[i];
        return JsonValue::Number(std::to_string(n));
    }
    case PropertyType::Bytes: break;
    default: return JsonValue::Number(std::to_string(p.Int()));
    }
    return JsonValue::String(ToHex(p.Raw()));
}

bool SubrecordJson::Decode(std::string_view recordType, std::string_view subType, ByteSpan data,
                           JsonValue& props, bool& unterminated) const {
    Properties decoded;
    PropertyCodec::DecodeReport report;
    {
        QuietPrompt quiet;
        ScopedPrompt scope(quiet);
        if (!codec_.Decode(recordType, subType, data, decoded, &report) || report.templateError) return false;
    }
    props = JsonValue::Object();
    props.members.reserve(decoded.Count());
    unterminated = false;
    for (const auto& e : decoded) {
        const Property& p = e.value;
        props.Add(e.key, ValueOf(p));
        if (p.DataType == PropertyType::Text && p.Size <= 0 && !p.Terminated) unterminated = true;
    }
    return true;
}

JsonValue SubrecordJson::ToJson(std::string_view recordType, std::string_view name, ByteSpan data,
                                bool first) const {
    JsonValue sub = JsonValue::Object();
    sub.Add("sub", JsonValue::String(std::string(name)));
    const std::string upper = ToUpper(name);
    const std::string subType = PropertyCodec::TemplateSubrecordType(recordType, upper, data.size(), first);
    const SubrecordLayout* layout = codec_.Layout(recordType, subType);
    JsonValue props;
    bool unterminated = false;
    if (!layout || !Decode(recordType, subType, data, props, unterminated)) {
        sub.Add("hex", JsonValue::String(ToHex(data)));
        return sub;
    }
    if (subType != PropertyCodec::TemplateSubrecordType(recordType, upper, 0, first))
        sub.Add("layout", JsonValue::String(subType));
    bool same = false;
    try {
        same = Build(*layout, props, unterminated) == Bytes(data.begin(), data.end());
    } catch (const ConvertError&) {
    }
    sub.Add("props", std::move(props));
    if (unterminated) {
        JsonValue yes = JsonValue::Of(JsonValue::Kind::Bool);
        yes.boolean = true;
        sub.Add("unterminated", std::move(yes));
    }
    if (!same) sub.Add("hex", JsonValue::String(ToHex(data)));
    return sub;
}

Bytes SubrecordJson::Build(const SubrecordLayout& layout, const JsonValue& props, bool unterminated) const {
    if (!props.IsObject()) throw ConvertError("\"props\" needs an object of properties", props.line);
    std::vector<std::pair<const SubrecordLayout::Line*, const JsonValue*>> given;
    given.reserve(props.members.size());
    std::string_view missing;
    for (const SubrecordLayout::Line& line : layout.Lines) {
        if (line.Kind == Type::Unknown) continue;
        if (line.Kind == Type::Missing)
            throw ConvertError("the format template gives the property " + Quoted(line.Name) + " of " +
                                   layout.Group + " no type",
                               props.line);
        const JsonValue* v = props.Find(line.Name);
        if (!v) {
            if (missing.empty()) missing = line.Name;
            continue;
        }
        // Properties past the end of short data are left out, so only a tail may be missing.
        if (!missing.empty())
            throw ConvertError(Quoted(line.Name) + " is given but " + Quoted(missing) + " before it is not",
                               v->line);
        given.emplace_back(&line, v);
    }
    Bytes out;
    for (std::size_t i = 0; i < given.size(); ++i) {
        // Only the data's last text can end without its zero byte.
        const bool bare = unterminated && i + 1 == given.size();
        PropertyCodec::AppendProperty(PropertyFor(*given[i].first, *given[i].second, codePage_, bare), out, true);
    }
    std::size_t used = given.size();
    if (const JsonValue* rest = props.Find(kUnknownData); rest && missing.empty()) {
        const Bytes extra = HexBytes(*rest, kUnknownData);
        out.insert(out.end(), extra.begin(), extra.end());
        ++used;
    }
    if (used != props.members.size()) {
        for (const auto& m : props.members) {
            bool known = m.first == kUnknownData;
            for (const auto& line : layout.Lines) known = known || line.Name == m.first;
            if (!known)
                throw ConvertError("the format template's group " + layout.Group + " has no property " +
                                       Quoted(m.first),
                                   m.second.line);
        }
        throw ConvertError("a property of " + layout.Group + " is given twice", props.line);
    }
    return out;
}

Bytes SubrecordJson::FromJson(std::string_view recordType, const JsonValue& sub, bool first) const {
    if (!sub.IsObject()) throw ConvertError("a subrecord needs to be an object", sub.line);
    OnlyMembers(sub, {"sub", "layout", "props", "unterminated", "hex"}, "a subrecord");
    const JsonValue* name = sub.Find("sub");
    const auto printable = [](char c) { return c >= 0x20 && c <= 0x7E; };
    if (!name || !name->IsString() || name->text.size() != 4 || !std::all_of(name->text.begin(), name->text.end(), printable))
        throw ConvertError("a subrecord needs \"sub\": its name of four characters", sub.line);
    const JsonValue* props = sub.Find("props");
    const JsonValue* hex = sub.Find("hex");
    if (!props) {
        if (!hex) throw ConvertError("subrecord " + name->text + " needs \"props\" or \"hex\"", sub.line);
        return HexBytes(*hex, name->text);
    }
    const JsonValue* layoutName = sub.Find("layout");
    if (layoutName && !layoutName->IsString())
        throw ConvertError("\"layout\" needs the name of a template subrecord type", layoutName->line);
    const std::string upper = ToUpper(name->text);
    const std::string subType =
        layoutName ? layoutName->text : PropertyCodec::TemplateSubrecordType(recordType, upper, 0, first);
    const SubrecordLayout* layout = codec_.Layout(recordType, subType);
    if (!layout)
        throw ConvertError("the format template has no group " + std::string(recordType) + "." + subType +
                               " for the properties of " + name->text,
                           sub.line);
    const JsonValue* flag = sub.Find("unterminated");
    const bool unterminated = flag && flag->kind == JsonValue::Kind::Bool && flag->boolean;
    if (hex) {
        // The stored bytes stand as long as the properties are those they decode to.
        const Bytes stored = HexBytes(*hex, name->text);
        const std::string storedType =
            PropertyCodec::TemplateSubrecordType(recordType, upper, stored.size(), first);
        JsonValue decoded;
        bool storedUnterminated = false;
        if (storedType == subType && Decode(recordType, subType, stored, decoded, storedUnterminated) &&
            decoded == *props && storedUnterminated == unterminated)
            return stored;
    }
    return Build(*layout, *props, unterminated);
}

} // namespace vellum
