#include "template/TemplateLayouts.h"

#include "model/Prompt.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

namespace {

constexpr int kMaxDeclaredSize = 1 << 20;

using Type = SubrecordLayout::Type;

Type TypeOf(std::string_view value1) {
    struct Name {
        std::string_view text;
        Type type;
    };
    static constexpr Name kNames[] = {
        {"STRING", Type::String}, {"STRINGLIST", Type::StringList}, {"BYTE", Type::Byte},
        {"BITFIELD", Type::BitField}, {"SHORT", Type::Short}, {"LONG", Type::Long},
        {"LONG64", Type::Long64}, {"SINGLE", Type::Single}, {"DOUBLE", Type::Double},
        {"SIGNED", Type::Signed},
    };
    for (const Name& n : kNames)
        if (KeysEqual(value1, n.text)) return n.type;
    return Type::Unknown;
}

} // namespace

void TemplateLayouts::Refresh() {
    if (generation_ == templ_.Generation()) return;
    generation_ = templ_.Generation();
    subrecords_.clear();
    records_.clear();
    names_.clear();
}

const SubrecordLayout* TemplateLayouts::Subrecord(std::string_view recordType,
                                                  std::string_view subType) {
    Refresh();
    key_.assign(recordType);
    key_ += '.';
    key_ += subType;
    auto it = subrecords_.find(key_);
    if (it == subrecords_.end()) it = subrecords_.emplace(key_, ParseSubrecord(key_)).first;
    return it->second.get();
}

const RecordLayout& TemplateLayouts::Record(std::string_view recordType) {
    Refresh();
    auto it = records_.find(recordType);
    if (it == records_.end())
        it = records_.emplace(std::string(recordType), ParseRecord(recordType)).first;
    return it->second;
}

std::unique_ptr<SubrecordLayout> TemplateLayouts::ParseSubrecord(std::string_view groupName) {
    const Group* g = templ_.FindGroup(groupName);
    if (!g) return nullptr;
    auto layout = std::make_unique<SubrecordLayout>();
    layout->Group = g->Name;
    const Variables* textLookups = nullptr;
    const Variables* fileLookups = nullptr;
    if (const Group* t = templ_.FindGroup("@TEXTLOOKUP")) textLookups = &t->Variables;
    if (const Group* f = templ_.FindGroup("@FILELOOKUP")) fileLookups = &f->Variables;

    layout->Lines.reserve(g->Variables.Count());
    std::string address;
    for (const auto& entry : g->Variables) {
        const Variable& v = entry.value;
        SubrecordLayout::Line line;
        line.Name = v.Name;
        line.Kind = v.Value.empty() ? Type::Missing : TypeOf(TrimSpaces(v.Value1()));
        // A size beyond any real subrecord only matters to new contents: keep those bounded.
        line.Size = std::clamp(ValInt(v.Value2()), 0, kMaxDeclaredSize);
        if ((line.Kind == Type::Long || line.Kind == Type::Signed) && (line.Size == 0 || line.Size > 4)) {
            const std::string word = line.Kind == Type::Long ? "LONG" : "SIGNED";
            Report(g->Name, v, "a " + word + " holds 1 to 4 bytes, so it is read as " + word + ",4.");
            line.Size = 4;
        }
        line.Names = NamesFor(*g, v, line.Kind);
        address = g->Name;
        address += '.';
        address += v.Name;
        line.TextLookup = textLookups && textLookups->Exists(address);
        line.FileLookup = fileLookups && fileLookups->Exists(address);
        layout->Lines.push_back(std::move(line));
    }

    const Variables& in = g->Instructions;
    if (const Variable* r = in.Find("REQUIREMENT")) layout->Requirement = ValInt(r->Value);
    if (const Variable* s = in.Find("STARTGROUP")) {
        layout->StartsGroup = true;
        layout->StartGroup = std::string(s->Value1());
    }
    layout->Unique = in.Exists("Unique");
    layout->AllowNull = in.Exists("AllowNull");
    ParseIntegrity(*g, *layout);
    return layout;
}

void TemplateLayouts::ParseIntegrity(const Group& g, SubrecordLayout& layout) {
    using Link = SubrecordLayout::Link;
    using Script = SubrecordLayout::Script;
    const Variables& in = g.Instructions;
    if (const Variable* c = in.Find("Counts")) layout.Counts = std::string(TrimSpaces(c->Value1()));
    layout.Filter = in.Exists("Filter");
    if (const Variable* c = in.Find("Chain")) {
        const std::string_view link = TrimSpaces(c->Value1());
        layout.Chain = KeysEqual(link, "Previous") ? Link::Previous : KeysEqual(link, "Next") ? Link::Next : Link::None;
    }
    if (const Variable* t = in.Find("ScriptText")) {
        layout.ScriptText = KeysEqual(TrimSpaces(t->Value1()), "Compiled") ? Script::Compiled : Script::Interpreted;
        layout.CompiledIn = std::string(TrimSpaces(t->Value2()));
    }
    const Variable* on = in.Find("Condition");
    const Group* lookups = templ_.FindGroup("@CONDITIONLOOKUP");
    if (!on || !lookups) return;
    layout.ConditionOn = std::string(TrimSpaces(on->Value1()));
    // Entries "<group>.<line>.<selector> = TYPE,TYPE..."
    for (const auto& e : lookups->Variables) {
        const std::string& name = e.value.Name;
        if (name.size() <= g.Name.size() + 1 || name[g.Name.size()] != '.' || !StartsWithNoCase(name, g.Name))
            continue;
        const std::string rest = name.substr(g.Name.size() + 1);
        const std::size_t dot = rest.rfind('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == rest.size()) continue;
        SubrecordLayout::ConditionLookup c{rest.substr(0, dot), rest.substr(dot + 1), {}};
        for (const std::string& type : Split(e.value.Value, ','))
            if (!TrimSpaces(type).empty()) c.Types.emplace_back(TrimSpaces(type));
        layout.Conditions.push_back(std::move(c));
    }
}

void TemplateLayouts::Report(const std::string& group, const Variable& v, const std::string& problem) {
    std::string line = "[" + group + "] " + v.Name + " = " + v.Value;
    if (!reported_.insert(FoldKey(line)).second) return;
    CurrentPrompt().Message("Format template entry " + line + ": " + problem);
}

std::shared_ptr<const ValueNames> TemplateLayouts::Names(ValueNames::Kind kind, std::string_view name) {
    Refresh();
    const std::string group = ValueNames::GroupName(kind, name);
    auto it = names_.find(group);
    if (it == names_.end()) it = names_.emplace(group, ParseNames(kind, name)).first;
    return it->second;
}

std::shared_ptr<const ValueNames> TemplateLayouts::ParseNames(ValueNames::Kind kind, std::string_view name) {
    const Group* g = templ_.FindGroup(ValueNames::GroupName(kind, name));
    if (!g) return nullptr;
    auto names = std::make_shared<ValueNames>(kind, std::string(name));
    for (const auto& e : g->Variables)
        if (!names->Add(e.value.Name, e.value.Value))
            Report(g->Name, e.value,
                   "a flag is named by the value of its one bit, such as 0x0004, so the line is left out.");
    return names;
}

// The names a property line asks for by its third part, if its type can show them.
std::shared_ptr<const ValueNames> TemplateLayouts::NamesFor(const Group& g, const Variable& v, Type kind) {
    const std::string_view list = TrimSpaces(v.Value3());
    if (list.empty()) return nullptr;
    const bool number = kind == Type::Short || kind == Type::Long || kind == Type::Signed || kind == Type::Long64;
    if (!number && kind != Type::String && kind != Type::BitField) {
        Report(g.Name, v, "only numbers, texts and bit fields take names, so the names are left out.");
        return nullptr;
    }
    const auto listKind = kind == Type::BitField ? ValueNames::Kind::Flags : ValueNames::Kind::Values;
    auto names = Names(listKind, list);
    if (!names)
        Report(g.Name, v, "there is no group [" + ValueNames::GroupName(listKind, list) +
                              "], so the value shows without names.");
    else if (number && !names->AllNumeric())
        Report(g.Name, v, "not every name of [" + ValueNames::GroupName(listKind, list) +
                              "] is for a number; only those that are apply.");
    return names;
}

void TemplateLayouts::ParseAll() {
    std::vector<std::string> names;
    for (const auto& g : templ_.Groups()) {
        if (StartsWithNoCase(g.key, "@FLAGS.")) Names(ValueNames::Kind::Flags, std::string_view(g.key).substr(7));
        if (!g.key.empty() && g.key[0] != '@') names.push_back(g.key);
    }
    for (const std::string& name : names) {
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos) Record(name);
        else Subrecord(std::string_view(name).substr(0, dot), std::string_view(name).substr(dot + 1));
    }
}

RecordLayout TemplateLayouts::ParseRecord(std::string_view recordType) {
    RecordLayout layout;
    const Group* g = templ_.FindGroup(recordType);
    if (!g) return layout;
    if (const Variable* id = g->Variables.Find("PropID")) {
        for (const std::string& pair : Split(id->Value, ',')) {
            std::vector<std::string> parts = Split(pair, ':');
            if (parts.size() != 2) continue;
            layout.Sources.push_back(Locate(recordType, std::string(TrimSpaces(parts[0])),
                                            std::string(TrimSpaces(parts[1]))));
        }
    }
    if (const Variable* desc = g->Variables.Find("PropDesc")) {
        layout.HasDesc = true;
        layout.Desc = Locate(recordType, std::string(TrimSpaces(desc->Value1())),
                             std::string(TrimSpaces(desc->Value2())));
    }
    const Variables& in = g->Instructions;
    layout.HexID = in.Exists("HexID");
    layout.Unique = in.Exists("Unique");
    layout.PrecedesChildren = in.Exists("PrecedesChildren");
    layout.FollowsParent = in.Exists("FollowsParent");
    return layout;
}

RecordLayout::Source TemplateLayouts::Locate(std::string_view recordType, std::string subID,
                                             std::string propID) {
    RecordLayout::Source src;
    src.SubID = std::move(subID);
    src.PropID = std::move(propID);
    const SubrecordLayout* sub = Subrecord(recordType, src.SubID);
    if (!sub) return src;
    src.MultiPropID = sub->Lines.size() > 1;
    if (!src.MultiPropID) {
        if (!sub->Lines.empty()) {
            src.Found = true;
            src.Kind = sub->Lines[0].Kind;
            src.Size = sub->Lines[0].Size;
        }
        return src;
    }
    std::size_t offset = 0;
    for (const SubrecordLayout::Line& line : sub->Lines) {
        if (KeysEqual(line.Name, src.PropID)) {
            src.Found = true;
            src.Offset = offset;
            src.Kind = line.Kind;
            src.Size = line.Size;
            break;
        }
        offset += static_cast<std::size_t>(line.Size);
    }
    return src;
}

} // namespace vellum
