#include "TestRecords.h"

#include "model/ByteCast.h"
#include "template/PropertyCodec.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace vellum::test {

Bytes SubBytes(const Sub& s) {
    Bytes out(s.name.begin(), s.name.end());
    out.resize(4, 0);
    return Concat({out, Int32(static_cast<std::int32_t>(s.data.size())), s.data});
}

Bytes RecordBytes(std::string_view name, const std::vector<Sub>& subs, std::int32_t flags,
                  std::int32_t header1) {
    std::vector<Bytes> parts;
    for (const Sub& s : subs) parts.push_back(SubBytes(s));
    const Bytes data = Concat(parts);
    Bytes out(name.begin(), name.end());
    out.resize(4, 0);
    return Concat({out, Int32(static_cast<std::int32_t>(data.size())), Int32(header1), Int32(flags), data});
}

Bytes Text(std::string_view s, bool terminate) {
    Bytes out(s.begin(), s.end());
    if (terminate) out.push_back(0);
    return out;
}

Bytes Int32(std::int32_t v) { return cast::FromInt32(v); }

Bytes Gmst(std::string_view id) { return RecordBytes("GMST", {{"NAME", Text(id)}}); }

Bytes HeaderRecord(std::int32_t count, std::int32_t fileType,
                   const std::vector<std::pair<std::string, std::int64_t>>& masters) {
    Bytes author = Text("Tester", false);
    author.resize(32 + 256, 0);
    std::vector<Sub> subs{{"HEDR", Concat({cast::FromSingle(1.3f), Int32(fileType), author, Int32(count)})}};
    for (const auto& [name, size] : masters) {
        subs.push_back({"MAST", Text(name)});
        subs.push_back({"DATA", cast::FromInt64(size)});
    }
    return RecordBytes("TES3", subs);
}

Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<RawRecord> RawRecords(const Bytes& file) {
    std::vector<RawRecord> out;
    for (std::size_t at = 0; file.size() - at >= 16;) {
        const std::size_t size = std::min<std::size_t>(cast::LoadU32(&file[at + 4]), file.size() - at - 16);
        const ByteSpan whole(&file[at], 16 + size);
        out.push_back({std::string(file.begin() + at, file.begin() + at + 4), whole, whole.subspan(16)});
        at += 16 + size;
    }
    return out;
}

std::uint32_t AnnouncedRecords(const Bytes& file) { return cast::LoadU32(&file.at(16 + 8 + 296)); }

std::vector<RawSubrecord> RawSubrecords(const RawRecord& r) {
    std::vector<RawSubrecord> out;
    for (std::size_t at = 0; r.data.size() - at >= 8;) {
        const std::string name(r.data.begin() + at, r.data.begin() + at + 4);
        const std::size_t size = cast::LoadU32(&r.data[at + 4]);
        if (size > r.data.size() - at - 8) break;
        out.push_back({r.type, PropertyCodec::TemplateSubrecordType(r.type, name, size, at == 0),
                       r.data.subspan(at + 8, size), at == 0, name});
        at += 8 + size;
    }
    return out;
}

std::vector<RawSubrecord> RawSubrecords(const Bytes& file) {
    std::vector<RawSubrecord> out;
    for (const RawRecord& r : RawRecords(file)) {
        std::vector<RawSubrecord> subs = RawSubrecords(r);
        out.insert(out.end(), subs.begin(), subs.end());
    }
    return out;
}

namespace {

std::string TextOf(ByteSpan data) {
    std::string s(data.begin(), data.end());
    s = s.substr(0, s.find('\0'));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool WordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || u >= 0x80;
}

// Script text without its comments (from ';' outside quotes to the end of the line).
std::string WithoutComments(const std::string& text) {
    std::string out;
    bool quoted = false, comment = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') quoted = comment = false;
        else if (!comment && c == '"') quoted = !quoted;
        else if (!comment && !quoted && c == ';') comment = true;
        out += comment ? ' ' : c;
    }
    return out;
}

} // namespace

std::vector<RawTopic> RawTopics(const Bytes& file) {
    std::vector<RawTopic> out;
    bool inTopic = false;
    for (const RawRecord& r : RawRecords(file)) {
        inTopic = r.type == "DIAL" || (inTopic && r.type == "INFO");
        if (!inTopic) continue;
        if (r.type == "DIAL") out.emplace_back();
        RawResponse info;
        for (const RawSubrecord& s : RawSubrecords(r)) {
            const std::string text(s.data.begin(), s.data.end());
            const std::string zstring = text.substr(0, text.find('\0'));
            const std::string_view name = s.name;
            if (r.type == "DIAL") {
                if (name == "NAME") out.back().id = zstring;
                if (name == "DATA" && !s.data.empty()) out.back().type = s.data[0];
                continue;
            }
            if (name == "INAM") info.id = zstring;
            if (name == "PNAM") info.previous = zstring;
            if (name == "NNAM") info.next = zstring;
            if (name == "ONAM") info.speaker = zstring;
            if (name == "NAME") info.text = text;
        }
        if (r.type == "INFO") out.back().responses.push_back(std::move(info));
    }
    return out;
}

std::string RawChains(const Bytes& file) {
    std::string out;
    for (const RawTopic& t : RawTopics(file)) {
        out += "\n" + t.id + ":";
        for (const RawResponse& r : t.responses) out += " " + r.id + "<" + r.previous + "|" + r.next;
    }
    return out;
}

std::string RawID(const RawRecord& record) {
    const auto subs = RawSubrecords(record);
    if (subs.empty() || record.type == "TES3") return {};
    if (record.type == "SCPT")
        for (const RawSubrecord& s : subs)
            if (s.name == "SCHD") return TextOf(s.data.subspan(0, std::min<std::size_t>(32, s.data.size())));
    return TextOf(subs.front().data);
}

std::string RawName(const RawRecord& record) {
    static const std::set<std::string> named{"NPC_", "CREA", "CLAS", "FACT", "RACE", "REGN", "BSGN", "DOOR",
                                             "MISC", "WEAP", "CONT", "SPEL", "LIGH", "ARMO", "CLOT", "REPA",
                                             "ACTI", "APPA", "LOCK", "PROB", "INGR", "BOOK", "ALCH"};
    const char* wanted = record.type == "INFO" ? "NAME" : named.count(record.type) ? "FNAM" : nullptr;
    if (wanted)
        for (const RawSubrecord& s : RawSubrecords(record))
            if (s.name == wanted) return TextOf(s.data);
    return {};
}

namespace {

// "<TYPE> <ID>: <SUB> <n>, <m> <COUNTED> follow" per count of the file that is off.
std::vector<std::string> CountsOff(const Bytes& file) {
    const std::map<std::string, std::pair<std::string, std::string>> counts{
        {"LEVI", {"INDX", "INAM"}}, {"LEVC", {"INDX", "CNAM"}}, {"CELL", {"NAM0", "FRMR"}}};
    std::vector<std::string> out;
    for (const RawRecord& r : RawRecords(file)) {
        const auto rule = counts.find(r.type);
        if (rule == counts.end()) continue;
        const auto subs = RawSubrecords(r);
        for (std::size_t i = 0; i < subs.size(); ++i) {
            if (subs[i].name != rule->second.first || subs[i].data.size() < 4) continue;
            const std::uint32_t said = cast::LoadU32(subs[i].data.data());
            const auto follow = std::count_if(subs.begin() + static_cast<std::ptrdiff_t>(i) + 1, subs.end(),
                                              [&](const RawSubrecord& s) { return s.name == rule->second.second; });
            if (said != static_cast<std::uint32_t>(follow))
                out.push_back(r.type + " " + RawID(r) + ": " + subs[i].name + " " + std::to_string(said) + ", " +
                              std::to_string(follow) + " " + rule->second.second + " follow");
        }
    }
    return out;
}

} // namespace

std::vector<std::string> WrongCounts(const Bytes& file, const Bytes& original) {
    const std::vector<std::string> before = CountsOff(original);
    std::vector<std::string> out = CountsOff(file);
    std::erase_if(out,
                  [&](const std::string& c) { return std::find(before.begin(), before.end(), c) != before.end(); });
    return out;
}

std::vector<std::string> BrokenChains(const Bytes& file) {
    std::vector<std::string> out;
    for (const RawTopic& topic : RawTopics(file)) {
        std::map<std::string, const RawResponse*> byID;
        for (const RawResponse& i : topic.responses) byID[Lower(i.id)] = &i;
        for (const RawResponse& i : topic.responses) {
            const auto next = byID.find(Lower(i.next));
            if (!i.next.empty() && next != byID.end() && Lower(next->second->previous) != Lower(i.id))
                out.push_back(topic.id + "/" + i.id + ": NNAM " + i.next + " whose PNAM is " + next->second->previous);
            const auto previous = byID.find(Lower(i.previous));
            if (!i.previous.empty() && previous != byID.end() && Lower(previous->second->next) != Lower(i.id))
                out.push_back(topic.id + "/" + i.id + ": PNAM " + i.previous + " whose NNAM is " + previous->second->next);
        }
    }
    return out;
}

std::vector<std::string> PlacesNaming(const Bytes& file, std::string_view id) {
    const std::string wanted = Lower(std::string(id));
    std::vector<std::string> out;
    for (const RawRecord& r : RawRecords(file)) {
        const auto subs = RawSubrecords(r);
        for (std::size_t i = 0; i < subs.size(); ++i) {
            const std::string& name = subs[i].name;
            const ByteSpan data = subs[i].data;
            if (i == 0 || (r.type == "SCPT" && name == "SCHD")) continue; // the record's own ID
            std::string text = Lower(std::string(data.begin(), data.end()));
            if (name == "SCTX" || name == "BNAM") text = WithoutComments(text);
            for (std::size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + 1)) {
                const std::size_t end = at + wanted.size();
                if ((at == 0 || !WordChar(text[at - 1])) && (end == text.size() || !WordChar(text[end]))) {
                    out.push_back(r.type + " " + RawID(r) + " " + name);
                    break;
                }
            }
        }
    }
    return out;
}

std::string ChangeKeys::Next(std::string_view type, std::string_view id) {
    const std::string base = std::string(type) + " " + (type == "TES3" ? "" : Lower(std::string(id)));
    return base + "#" + std::to_string(seen[base]++);
}

RawChangeList RawChanges(const Bytes& loaded, const Bytes& saved, const std::map<std::string, std::string>& renamed) {
    auto keyed = [](const Bytes& file, const std::map<std::string, std::string>& ids) {
        std::map<std::string, ByteSpan> out;
        ChangeKeys keys;
        for (const RawRecord& r : RawRecords(file)) {
            std::string id = Lower(RawID(r));
            if (auto it = ids.find(id); it != ids.end()) id = it->second;
            out[keys.Next(r.type, id)] = r.whole;
        }
        return out;
    };
    const auto before = keyed(loaded, {}), after = keyed(saved, renamed);
    RawChangeList out;
    for (const auto& [key, bytes] : after) {
        const auto it = before.find(key);
        out.records[key] = it == before.end() ? "added"
                           : std::equal(bytes.begin(), bytes.end(), it->second.begin(), it->second.end()) ? "unchanged"
                                                                                                         : "changed";
    }
    for (const auto& [key, bytes] : before)
        if (!after.count(key)) ++out.deleted[key.substr(0, 4)];
    return out;
}

} // namespace vellum::test
