#include "TestRecords.h"

#include "model/ByteCast.h"
#include "template/PropertyCodec.h"

#include <algorithm>

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

std::vector<RawSubrecord> RawSubrecords(const Bytes& file) {
    std::vector<RawSubrecord> out;
    for (const RawRecord& r : RawRecords(file)) {
        for (std::size_t at = 0; r.data.size() - at >= 8;) {
            const std::string name(r.data.begin() + at, r.data.begin() + at + 4);
            const std::size_t size = cast::LoadU32(&r.data[at + 4]);
            if (size > r.data.size() - at - 8) break;
            out.push_back({r.type, PropertyCodec::TemplateSubrecordType(r.type, name, size, at == 0),
                           r.data.subspan(at + 8, size), at == 0});
            at += 8 + size;
        }
    }
    return out;
}

std::vector<RawTopic> RawTopics(const Bytes& file) {
    std::vector<RawTopic> out;
    bool inTopic = false;
    for (const RawRecord& r : RawRecords(file)) {
        inTopic = r.type == "DIAL" || (inTopic && r.type == "INFO");
        if (!inTopic) continue;
        if (r.type == "DIAL") out.emplace_back();
        RawResponse info;
        const Bytes record(r.whole.begin(), r.whole.end()); // the subrecords' spans point into it
        for (const RawSubrecord& s : RawSubrecords(record)) {
            const std::string text(s.data.begin(), s.data.end());
            const std::string zstring = text.substr(0, text.find('\0'));
            const std::string_view name = std::string_view(s.type).substr(0, 4);
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

} // namespace vellum::test
