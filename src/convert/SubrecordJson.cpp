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
#include <optional>

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

// The name `v` gives, read through the code page as texts are; the entry of `names` it stands for.
const ValueNames::Entry* NamedEntry(const JsonValue& v, const ValueNames& names, int codePage) {
    std::string name;
    return Utf8ToCodePage(v.text, codePage, name) ? names.Named(name) : nullptr;
}

ConvertError UnknownName(const JsonValue& v, std::string_view property, const ValueNames& names) {
    return ConvertError(Quoted(property) + " has no " +
                            (names.kind() == ValueNames::Kind::Flags ? "flag" : "value") + " named " + Quoted(v.text) +
                            " in the format template's list " + names.Name(),
                        v.line);
}

// A whole number, or the name the template gives one.
std::int64_t WholeNumber(const JsonValue& v, std::string_view name, const ValueNames* names = nullptr,
                         int codePage = 0) {
    if (v.IsString() && names) {
        const ValueNames::Entry* e = NamedEntry(v, *names, codePage);
        if (!e || !e->number) throw UnknownName(v, name, *names);
        return *e->number;
    }
    std::int64_t n = 0;
    const char* end = v.text.data() + v.text.size();
    if (!v.IsNumber() || std::from_chars(v.text.data(), end, n).ptr != end)
        throw ConvertError(Quoted(name) + " needs a whole number", v.line);
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

// Bits as a whole number, hexadecimal bytes, or a list of the template's flag names and numbers.
Bytes BitFieldBytes(const JsonValue& v, const Property& p, const ValueNames* names, int codePage) {
    if (v.IsString()) return HexBytes(v, p.Name);
    const int size = p.Size;
    if (size < 1 || size > 8)
        throw ConvertError(Quoted(p.Name) + " has no fixed width of at most 8 bytes: give its bytes "
                                            "in hexadecimal",
                           v.line);
    std::uint64_t bits = 0;
    auto add = [&](const JsonValue& part) {
        if (part.IsString() && names && names->kind() == ValueNames::Kind::Flags) {
            const ValueNames::Entry* e = NamedEntry(part, *names, codePage);
            if (!e || e->bit >= 8 * size) throw UnknownName(part, p.Name, *names);
            bits |= std::uint64_t{1} << e->bit;
            return;
        }
        std::uint64_t n = 0;
        const char* end = part.text.data() + part.text.size();
        if (!part.IsNumber() || std::from_chars(part.text.data(), end, n).ptr != end || n > MaxUnsigned(size))
            throw ConvertError(Quoted(p.Name) + " needs a whole number from 0 to " +
                                   std::to_string(MaxUnsigned(size)) + (names ? " or the names of its flags" : ""),
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

std::string TextBytes(const JsonValue& v, const Property& p, const ValueNames* names, int codePage,
                      bool unterminated) {
    std::string utf8;
    if (p.IsStringList && v.IsArray()) {
        // Each string is followed by a zero byte, the last one too unless it ends the data bare.
        for (std::size_t i = 0; i < v.items.size(); ++i) {
            const JsonValue& s = v.items[i];
            if (!s.IsString()) throw ConvertError(Quoted(p.Name) + " needs a list of texts", s.line);
            utf8 += s.text;
            if (i + 1 < v.items.size() || !unterminated) utf8 += kListBreak;
        }
    } else if (v.IsString()) {
        utf8 = v.text;
    } else {
        throw ConvertError(Quoted(p.Name) + " needs a text", v.line);
    }
    std::string bytes;
    if (!Utf8ToCodePage(utf8, codePage, bytes))
        throw ConvertError(Quoted(p.Name) + " holds a character that code page " + std::to_string(codePage) +
                               " cannot store",
                           v.line);
    // A text the template names stands for its key; any other text is itself.
    if (const ValueNames::Entry* e = names && !p.IsStringList ? names->Named(bytes) : nullptr) bytes = e->key;
    if (bytes.find('\0') != std::string::npos)
        throw ConvertError(Quoted(p.Name) + " may not hold a zero character", v.line);
    if (p.Size > 0 && bytes.size() > static_cast<std::size_t>(p.Size))
        throw ConvertError(Quoted(p.Name) + " is longer than its " + std::to_string(p.Size) + " bytes", v.line);
    return bytes;
}

// Sets `p`, the property of its template line as the codec makes it for a new subrecord, to
// `v`, ready for fresh encoding.
void SetValue(Property& p, const JsonValue& v, const ValueNames* names, int codePage, bool unterminated) {
    switch (p.DataType) {
    case PropertyType::Text:
        p.Value = TextBytes(v, p, names, codePage, unterminated);
        p.Terminated = !unterminated || p.Size > 0;
        break;
    case PropertyType::Short:
    case PropertyType::Long: {
        // Either sign: the decoder reads SHORT and SIGNED signed, LONG unsigned.
        const auto top = static_cast<std::int64_t>(MaxUnsigned(p.Size >= 1 && p.Size <= 4 ? p.Size : 4));
        const std::int64_t n = WholeNumber(v, p.Name, names, codePage);
        if (n < -(top / 2) - 1 || n > top)
            throw ConvertError(Quoted(p.Name) + " must lie between " + std::to_string(-(top / 2) - 1) + " and " +
                                   std::to_string(top) + ", not " + v.text,
                               v.line);
        p.Value = n;
        break;
    }
    case PropertyType::Long64: p.Value = WholeNumber(v, p.Name, names, codePage); break;
    case PropertyType::Float:
        p.Value = p.Size == 8 ? RealNumber<double>(v, p.Name) : static_cast<double>(RealNumber<float>(v, p.Name));
        break;
    case PropertyType::Bytes: p.Value = HexBytes(v, p.Name); break;
    case PropertyType::BitField: p.Value = BitFieldBytes(v, p, names, codePage); break;
    }
}

// The names of a decoded property's values: its template line's list, found by walking the
// layout's lines in step with the decoded properties, which come in their order.
const ValueNames* NamesOf(const SubrecordLayout& layout, std::size_t& line, std::string_view property) {
    for (std::size_t i = line; i < layout.Lines.size(); ++i)
        if (layout.Lines[i].Name == property) {
            line = i + 1;
            return layout.Lines[i].Names.get();
        }
    return nullptr;
}

} // namespace

JsonValue SubrecordJson::ValueOf(const Property& p, const ValueNames* names) const {
    if (names)
        if (std::optional<JsonValue> named = NamedValue(p, *names)) return std::move(*named);
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

std::optional<JsonValue> SubrecordJson::NamedValue(const Property& p, const ValueNames& names) const {
    // A name is written only where reading it gives this very value again.
    auto name = [&](const std::string& n) { return JsonValue::String(CodePageToUtf8(n, codePage_)); };
    if (names.kind() == ValueNames::Kind::Flags) {
        const Bytes& raw = p.Raw();
        if (p.DataType != PropertyType::BitField || raw.empty() || raw.size() > 8 ||
            static_cast<int>(raw.size()) != p.Size)
            return std::nullopt;
        JsonValue list = JsonValue::Array();
        std::uint64_t unnamed = 0;
        for (int bit = 0; bit < 8 * static_cast<int>(raw.size()); ++bit) {
            if (!(raw[static_cast<std::size_t>(bit / 8)] >> (bit % 8) & 1)) continue;
            const std::string* n = names.BitName(bit);
            if (n && names.Named(*n)->bit == bit) list.items.push_back(name(*n));
            else unnamed |= std::uint64_t{1} << bit;
        }
        if (unnamed) list.items.push_back(JsonValue::Number(std::to_string(unnamed)));
        return list;
    }
    if (p.DataType == PropertyType::Text) {
        const std::string* text = std::get_if<std::string>(&p.Value);
        const std::string* n = text && !p.IsStringList ? names.NameOf(std::string_view(*text)) : nullptr;
        if (n && names.Named(*n)->key == *text) return name(*n);
        return std::nullopt;
    }
    if (p.DataType != PropertyType::Short && p.DataType != PropertyType::Long && p.DataType != PropertyType::Long64)
        return std::nullopt;
    std::int64_t v = p.Int();
    const std::string* n = names.NameOf(v);
    if (!n && p.DataType == PropertyType::Long && p.Size >= 1 && p.Size < 8 && v > static_cast<std::int64_t>(MaxUnsigned(p.Size) / 2)) {
        // A LONG is read unsigned; its names are written signed ("-1 = None").
        v -= static_cast<std::int64_t>(MaxUnsigned(p.Size)) + 1;
        n = names.NameOf(v);
    }
    if (n && names.Named(*n)->number == v) return name(*n);
    return std::nullopt;
}

bool SubrecordJson::Decode(std::string_view recordType, const SubrecordLayout& layout, std::string_view subType,
                           ByteSpan data, JsonValue& props, bool& unterminated) const {
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
    std::size_t line = 0;
    for (const auto& e : decoded) {
        const Property& p = e.value;
        props.Add(e.key, ValueOf(p, NamesOf(layout, line, e.key)));
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
    if (!layout || !Decode(recordType, *layout, subType, data, props, unterminated)) {
        sub.Add("hex", JsonValue::String(ToHex(data)));
        return sub;
    }
    if (subType != PropertyCodec::TemplateSubrecordType(recordType, upper, 0, first))
        sub.Add("layout", JsonValue::String(subType));
    bool same = false;
    try {
        same = Build(recordType, *layout, props, unterminated) == Bytes(data.begin(), data.end());
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

Bytes SubrecordJson::Build(std::string_view recordType, const SubrecordLayout& layout, const JsonValue& props,
                           bool unterminated) const {
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
    Property p;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const SubrecordLayout::Line& line = *given[i].first;
        PropertyCodec::DefaultOf(line, recordType, p);
        // Only the data's last text can end without its zero byte.
        SetValue(p, *given[i].second, line.Names.get(), codePage_, unterminated && i + 1 == given.size());
        PropertyCodec::AppendProperty(p, out, true);
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
        if (storedType == subType && Decode(recordType, *layout, subType, stored, decoded, storedUnterminated) &&
            decoded == *props && storedUnterminated == unterminated)
            return stored;
    }
    return Build(recordType, *layout, *props, unterminated);
}

} // namespace vellum
