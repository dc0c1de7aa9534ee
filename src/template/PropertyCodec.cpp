#include "template/PropertyCodec.h"

#include "model/ByteCast.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "template/PropertyCodecCache.h"
#include "template/PropertyDecoder.h"

namespace vellum {

namespace {

using Type = SubrecordLayout::Type;
using Line = SubrecordLayout::Line;

Property& AddUnique(Properties& out, std::string_view name) {
    if (Property* p = out.Add(std::string(name))) return *p;
    for (int i = 2;; ++i)
        if (Property* p = out.Add(std::string(name) + std::to_string(i))) return *p;
}

void AddRawData(Properties& out, std::string_view name, ByteSpan bytes) {
    Property& p = AddUnique(out, name);
    p.Name = out.KeyAt(out.Count());
    p.Description = "Unknown Data";
    p.DataType = PropertyType::Bytes;
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

std::shared_ptr<const ValueNames> PropertyCodec::NamesOf(std::string_view recordType, std::string_view subType,
                                                         std::string_view property) const {
    if (const SubrecordLayout* layout = Layout(recordType, subType))
        for (const Line& line : layout->Lines)
            if (KeysEqual(line.Name, property)) return line.Names;
    return nullptr;
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

    PropertyDecoder decoder(data, rep);
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

bool PropertyCodec::DefaultOf(const Line& line, std::string_view recordType, Property& p) {
    p = Property{};
    p.Name = line.Name;
    p.Description = line.Name;
    p.Size = line.Size;
    switch (line.Kind) {
    case Type::String:
    case Type::StringList:
        p.DataType = PropertyType::Text;
        p.IsStringList = line.Kind == Type::StringList;
        p.Value = std::string();
        p.StoredLength = line.Size > 0 ? static_cast<std::size_t>(line.Size) : 1;
        break;
    case Type::Byte:
    case Type::BitField:
        p.DataType = line.Kind == Type::Byte ? PropertyType::Bytes : PropertyType::BitField;
        p.Value = Bytes(static_cast<std::size_t>(line.Size), 0);
        p.StoredLength = static_cast<std::size_t>(line.Size);
        break;
    case Type::Short: p.DataType = PropertyType::Short, p.Size = 2, p.Value = std::int64_t{0}; break;
    case Type::Long: p.DataType = PropertyType::Long, p.Value = std::int64_t{0}; break;
    case Type::Signed: p.DataType = PropertyType::Short, p.Value = std::int64_t{0}; break;
    case Type::Long64: p.DataType = PropertyType::Long64, p.Size = 8, p.Value = std::int64_t{0}; break;
    case Type::Single: p.DataType = PropertyType::Float, p.Size = 4, p.Value = 0.0; break;
    case Type::Double: p.DataType = PropertyType::Float, p.Size = 8, p.Value = 0.0; break;
    case Type::Unknown:
    case Type::Missing: return false;
    }
    if (p.DataType != PropertyType::Text && p.DataType != PropertyType::Bytes && p.DataType != PropertyType::BitField)
        p.StoredLength = static_cast<std::size_t>(p.Size);
    if (line.TextLookup) {
        p.TextLookup = true;
        p.RecordType = std::string(recordType);
    }
    p.FileLookup = line.FileLookup;
    return true;
}

bool PropertyCodec::Defaults(std::string_view recordType, std::string_view subType,
                             Properties& out) const {
    out.clear();
    const SubrecordLayout* layout = Layout(recordType, subType);
    if (!layout) return false;
    Property p;
    for (const Line& line : layout->Lines) {
        if (!DefaultOf(line, recordType, p)) continue;
        std::string key = p.Name;
        out.Add(std::move(key), std::move(p));
    }
    return true;
}

} // namespace vellum
