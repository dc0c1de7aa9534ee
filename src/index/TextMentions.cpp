#include "index/TextMentions.h"

#include "index/RawSubrecords.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <algorithm>

namespace vellum {

namespace {

bool IsWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

bool ContainsNoCase(std::string_view text, std::string_view part) {
    if (part.empty() || part.size() > text.size()) return part.empty();
    const unsigned char first = Lower(static_cast<unsigned char>(part[0]));
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (Lower(static_cast<unsigned char>(text[i])) == first && KeysEqual(text.substr(i, part.size()), part))
            return true;
    return false;
}

// Width of a template line in the bytes: fixed for some types, declared for the others.
std::size_t Width(const SubrecordLayout::Line& line) {
    using Type = SubrecordLayout::Type;
    switch (line.Kind) {
    case Type::Short: return 2;
    case Type::Single: return 4;
    case Type::Double:
    case Type::Long64: return 8;
    default: return static_cast<std::size_t>(line.Size);
    }
}

// The text of line `name` in `data`: its declared width, or to the end; cut at a zero byte.
std::string_view LineText(const SubrecordLayout& layout, ByteSpan data, std::string_view name) {
    const std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
    std::size_t offset = 0;
    for (const SubrecordLayout::Line& line : layout.Lines) {
        const std::size_t width = Width(line);
        if (KeysEqual(line.Name, name)) {
            if (offset >= all.size()) return {};
            std::string_view v = all.substr(offset, width > 0 ? width : std::string_view::npos);
            return TrimRightSpaces(v.substr(0, v.find('\0')));
        }
        offset += width;
    }
    return {};
}

std::string_view ScriptText(ByteSpan data) {
    const std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
    return all.substr(0, all.find('\0'));
}

} // namespace

TextMentions::TextMentions(const PropertyCodec& codec) : codec_(codec) {
    for (const auto& g : codec.Template().Groups()) {
        const std::string& name = g.value.Name;
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos || name.empty() || name[0] == '@') continue;
        const Variables& in = g.value.Instructions;
        if (in.Exists("ScriptText") || in.Exists("Condition"))
            places_[name.substr(0, dot)].push_back(name.substr(dot + 1));
    }
}

void TextMentions::Want(std::string_view id, std::string_view recordType) {
    if (id.empty()) return;
    auto& types = wanted_[std::string(id)];
    if (std::find(types.begin(), types.end(), recordType) == types.end()) types.emplace_back(recordType);
    if (types.size() == 1 && !std::all_of(id.begin(), id.end(), [](char c) { return IsWordChar(static_cast<unsigned char>(c)); }))
        texts_.emplace_back(id);
}

void TextMentions::Clear() {
    wanted_.clear();
    texts_.clear();
}

bool TextMentions::NeedsQuotes(std::string_view id) {
    return id.empty() || !std::all_of(id.begin(), id.end(), [](char c) { return IsWordChar(static_cast<unsigned char>(c)); });
}

std::vector<TextMentions::Span> TextMentions::ScriptSpans(std::string_view text,
                                                          const std::function<bool(std::string_view)>& wanted,
                                                          const std::vector<std::string>& texts) {
    std::vector<Span> spans;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ';') { // a comment, to the end of the line
            while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
            continue;
        }
        if (c == '"') { // a quoted name names an ID only as a whole
            std::size_t end = i + 1;
            while (end < n && text[end] != '"' && text[end] != '\n' && text[end] != '\r') ++end;
            std::size_t b = i + 1, e = end;
            while (b < e && text[b] == ' ') ++b;
            while (e > b && text[e - 1] == ' ') --e;
            if (e > b && wanted(text.substr(b, e - b))) spans.push_back({b, e, true});
            i = end < n && text[end] == '"' ? end + 1 : end;
            continue;
        }
        if (!IsWordChar(c)) {
            ++i;
            continue;
        }
        bool found = false;
        for (const std::string& t : texts) {
            const std::size_t end = i + t.size();
            if (end <= n && KeysEqual(text.substr(i, t.size()), t) &&
                (end == n || !IsWordChar(static_cast<unsigned char>(text[end])))) {
                spans.push_back({i, end, false});
                i = end;
                found = true;
                break;
            }
        }
        if (found) continue;
        std::size_t end = i;
        while (end < n && IsWordChar(static_cast<unsigned char>(text[end]))) ++end;
        if (wanted(text.substr(i, end - i))) spans.push_back({i, end, false});
        i = end;
    }
    return spans;
}

std::vector<TextMentions::Span> TextMentions::ScriptSpans(std::string_view text, std::string_view id) {
    std::vector<std::string> texts;
    if (NeedsQuotes(id)) texts.emplace_back(id);
    return ScriptSpans(text, [id](std::string_view w) { return KeysEqual(w, id); }, texts);
}

std::string TextMentions::ReplaceInScript(std::string_view text, std::string_view oldID, std::string_view newID) {
    std::string out;
    std::size_t at = 0;
    for (const Span& s : ScriptSpans(text, oldID)) {
        out.append(text.substr(at, s.Begin - at));
        const bool quote = !s.Quoted && NeedsQuotes(newID);
        if (quote) out += '"';
        out.append(newID);
        if (quote) out += '"';
        at = s.End;
    }
    out.append(text.substr(at));
    return out;
}

std::string TextMentions::CompiledKey(esfile& file, int index, std::string_view sourceType, std::string_view id) {
    RecordEntry& r = file.Records()[static_cast<std::size_t>(index)];
    const SubrecordLayout* source = file.Codec().Layout(r.Name, sourceType);
    if (!source || source->CompiledIn.empty()) return {};
    auto names = [&](ByteSpan data) {
        return ContainsNoCase(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), id);
    };
    if (!r.Packed && r.SubRecords) {
        for (const auto& e : *r.SubRecords)
            if (KeysEqual(e.value.Name, source->CompiledIn) && names(e.value.Data)) return e.key;
        return {};
    }
    if (!r.Loaded) file.LoadRecord(index);
    std::string key;
    const ByteSpan bytes = r.Data.span();
    ForEachRawSubrecord(bytes, [&](const RawSubrecord& s) {
        if (KeysEqual(s.Name, source->CompiledIn) && names(s.Data)) key = RawSubrecordKey(bytes, s);
        return key.empty();
    });
    return key;
}

std::string_view TextMentions::ConditionName(const SubrecordLayout& layout, ByteSpan data,
                                             const SubrecordLayout::ConditionLookup** lookup) {
    if (layout.ConditionOn.empty()) return {};
    const std::string_view kind = LineText(layout, data, layout.ConditionOn);
    for (const SubrecordLayout::ConditionLookup& c : layout.Conditions) {
        if (!KeysEqual(kind, c.Selector)) continue;
        if (lookup) *lookup = &c;
        return LineText(layout, data, c.Property);
    }
    return {};
}

void TextMentions::Check(esfile& file, int index, std::string_view recordType, const std::string& subType,
                         std::string_view key, ByteSpan data, std::vector<TextMention>& out) {
    const SubrecordLayout* layout = codec_.Layout(recordType, subType);
    if (!layout) return;
    auto add = [&](const std::string& id, MentionKind kind, std::string property) {
        for (const TextMention& m : out)
            if (m.RecordIndex == index && m.SubrecordKey == key && KeysEqual(m.ID, id)) return;
        out.push_back({index, std::string(key), subType, std::move(property), kind, id, layout->Filter});
    };
    if (layout->ScriptText != SubrecordLayout::Script::None) {
        const std::string_view text = ScriptText(data);
        // Most scripts name none of a few IDs: one pass of plain search decides.
        if (wanted_.size() <= 8 &&
            std::none_of(wanted_.begin(), wanted_.end(), [&](const auto& w) { return ContainsNoCase(text, w.first); }))
            return;
        const MentionKind kind = layout->ScriptText == SubrecordLayout::Script::Compiled ? MentionKind::ScriptSource
                                                                                        : MentionKind::ResultScript;
        const std::string property = layout->Lines.empty() ? std::string() : layout->Lines.front().Name;
        auto wanted = [&](std::string_view w) { return wanted_.find(w) != wanted_.end(); };
        for (const Span& s : ScriptSpans(text, wanted, texts_)) {
            const auto hit = wanted_.find(text.substr(s.Begin, s.End - s.Begin));
            if (hit != wanted_.end()) add(hit->first, kind, property);
        }
    }
    const SubrecordLayout::ConditionLookup* lookup = nullptr;
    const std::string_view name = ConditionName(*layout, data, &lookup);
    if (name.empty() || !lookup) return;
    const auto hit = wanted_.find(name);
    if (hit == wanted_.end()) return;
    for (const std::string& type : hit->second)
        if (type.empty() ||
            std::any_of(lookup->Types.begin(), lookup->Types.end(), [&](const std::string& t) { return KeysEqual(t, type); })) {
            add(hit->first, MentionKind::Condition, lookup->Property);
            return;
        }
}

std::vector<TextMention> TextMentions::Find(esfile& file) {
    std::vector<TextMention> out;
    if (wanted_.empty()) return out;
    auto& records = file.Records();
    for (const auto& [type, subs] : places_) {
        const auto* cat = file.esRecArrayCatIndex().Item(type);
        if (!cat) continue;
        auto isPlace = [&](std::string_view sub) {
            return std::any_of(subs.begin(), subs.end(), [&](const std::string& s) { return KeysEqual(s, sub); });
        };
        for (const auto& e : cat->esRecArrayCatEntries) {
            const int index = e.value.IndexNumber;
            if (index <= 0 || index >= static_cast<int>(records.size())) continue;
            RecordEntry& r = records[static_cast<std::size_t>(index)];
            if (!r.Packed && r.SubRecords) {
                for (const auto& s : *r.SubRecords) {
                    if (!isPlace(s.value.Name)) continue;
                    const Bytes data = s.value.Edited() ? file.Codec().Encode(s.value.Properties) : s.value.Data;
                    Check(file, index, type, s.value.Name, s.key, data, out);
                }
                continue;
            }
            if (!r.Loaded) file.LoadRecord(index);
            const ByteSpan bytes = r.Data.span();
            ForEachRawSubrecord(bytes, [&](const RawSubrecord& s) {
                const std::string sub =
                    PropertyCodec::TemplateSubrecordType(type, s.Name, s.Data.size(), s.Offset == 0);
                if (isPlace(sub)) Check(file, index, type, sub, RawSubrecordKey(bytes, s), s.Data, out);
                return true;
            });
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const TextMention& a, const TextMention& b) { return a.RecordIndex < b.RecordIndex; });
    return out;
}

} // namespace vellum
