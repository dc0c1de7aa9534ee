#include "model/esfile.h"

#include "model/ByteCast.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

namespace {

// One subrecord header and data at `p` of a record's data. A subrecord that runs past the end
// reports the cast failure and keeps the bytes that are there, so that packing writes a
// consistent record.
struct RawSub {
    std::string name;
    std::int32_t size = 0;
    ByteSpan data;
    std::size_t next = 0;
};

RawSub ReadSub(ByteSpan rec, std::size_t p) {
    RawSub s;
    const std::size_t n = rec.size();
    if (n - p < 4) {
        cast::ReportFailure();
        s.name.assign(rec.begin() + static_cast<std::ptrdiff_t>(p), rec.end());
        s.next = n;
        return s;
    }
    s.name.assign(reinterpret_cast<const char*>(rec.data() + p), 4);
    int four = 4;
    std::int32_t stored = n - p < 8 ? (cast::ReportFailure(), 0) : cast::Int32At(rec, p + 4, four);
    const std::size_t start = std::min(n, p + 8);
    if (stored < 0 || static_cast<std::size_t>(stored) > n - start) {
        if (n - p >= 8) cast::ReportFailure();
        s.data = rec.subspan(start);
        s.next = n;
    } else {
        s.data = rec.subspan(start, static_cast<std::size_t>(stored));
        s.next = start + static_cast<std::size_t>(stored);
    }
    s.size = static_cast<std::int32_t>(s.data.size());
    return s;
}

} // namespace

void esfile::UnPackRecord(RecordRef ref, bool keepPacked) {
    const int i = IndexOf(ref);
    RecordEntry& r = records_.at(static_cast<std::size_t>(i));
    if (!r.Packed) return;
    subrecordCounter_ = 0;
    if (!r.Loaded) LoadRecord(i);

    auto subs = std::make_shared<Subrecords>();
    r.GroupCount = 0;
    const std::string recordType(CategoryOf(r));
    const ByteSpan data = r.Data.span();
    int group = 0;
    std::string label;
    for (std::size_t p = 0; p < data.size();) {
        RawSub raw = ReadSub(data, p);
        std::string key = raw.name;
        if (subs->Exists(key)) key += std::to_string(subrecordCounter_);
        Subrecord* s = subs->Add(key);
        if (s) {
            s->Offset = static_cast<std::int32_t>(p);
            s->Size = raw.size;
            s->Data.assign(raw.data.begin(), raw.data.end());
            s->Name = PropertyCodec::TemplateSubrecordType(recordType, ToUpper(raw.name),
                                                           raw.data.size(), p == 0);
            if (const SubrecordLayout* layout = codec_.Layout(recordType, s->Name)) {
                if (layout->StartsGroup && ToUpper(layout->StartGroup) != "MAINRECORD") {
                    ++group;
                    label = layout->StartGroup;
                    subs->GroupList.resize(static_cast<std::size_t>(group) + 1);
                    subs->GroupList.back() = label;
                    s->GroupLabel = label;
                    s->GroupNumber = group;
                    r.GroupCount = group;
                } else if (!layout->StartsGroup) {
                    s->GroupNumber = group;
                    s->GroupLabel = label;
                }
                s->Requirement = layout->Requirement;
            } else {
                s->GroupNumber = group;
                s->GroupLabel = label;
            }
        }
        ++subrecordCounter_;
        p = raw.next;
    }
    r.SubRecords = std::move(subs);
    if (!keepPacked) {
        r.Data.Reset();
        r.Packed = false;
    }
}

void esfile::PackRecord(RecordRef ref, bool keepSubRecords) {
    const int i = IndexOf(ref);
    RecordEntry& r = records_.at(static_cast<std::size_t>(i));
    if (r.Packed) return;
    if (r.SubRecords) {
        for (auto& e : *r.SubRecords)
            if (!e.value.Packed) PackSubRecord(i, e.key);
    }
    std::size_t total = 0;
    if (r.SubRecords)
        for (const auto& e : *r.SubRecords) total += 8 + e.value.Data.size();
    Bytes out(total);
    std::size_t t = 0;
    if (r.SubRecords) {
        for (const auto& e : *r.SubRecords) {
            const Subrecord& s = e.value;
            for (std::size_t k = 0; k < 4; ++k) out[t + k] = k < s.Name.size() ? std::uint8_t(s.Name[k]) : 0;
            cast::StoreU32(out.data() + t + 4, static_cast<std::uint32_t>(s.Data.size()));
            std::copy(s.Data.begin(), s.Data.end(), out.begin() + static_cast<std::ptrdiff_t>(t + 8));
            t += 8 + s.Data.size();
        }
    }
    r.Size = static_cast<std::int32_t>(t);
    r.Data.Assign(std::move(out));
    if (!keepSubRecords) r.SubRecords.reset();
    r.Packed = true;
    r.Loaded = true;
}

void esfile::UnPackSubHeaders(RecordRef ref, std::string_view subrecordKey, int position) {
    RecordEntry& r = Rec(ref);
    subrecordCounter_ = 0;
    const std::string_view n = subrecordKey.substr(0, 4);
    const int target = position - 1;
    r.SubHeaders = std::make_shared<SubHeaders>();
    bool seen = false;
    const ByteSpan data = r.Data.span();
    int index = 0;
    for (std::size_t p = 0; p + 8 <= data.size() && index <= target; ++index) {
        const std::string_view name(reinterpret_cast<const char*>(data.data() + p), 4);
        const std::int32_t size = static_cast<std::int32_t>(cast::LoadU32(data.data() + p + 4));
        if (index < target) {
            seen = seen || KeysEqual(name, n);
        } else {
            std::string key(name);
            if (seen) key += std::to_string(subrecordCounter_);
            if (SubHeader* h = r.SubHeaders->Add(key)) {
                h->Name = (index != 0 && name == "NAME") ? "NAME_NEXT" : std::string(name);
                h->Size = size;
            }
        }
        ++subrecordCounter_;
        if (size < 0) break;
        p += 8 + static_cast<std::size_t>(size);
    }
}

void esfile::PackSubHeaders(RecordRef ref) { Rec(ref).SubHeaders.reset(); }

void esfile::ClearSubRecords(int index) { records_.at(static_cast<std::size_t>(index)).SubRecords.reset(); }

void esfile::SetSubrecords(RecordRef ref, std::shared_ptr<Subrecords> subrecords) {
    Rec(ref).SubRecords = std::move(subrecords);
}

void esfile::SetRecordByte(RecordRef ref, std::size_t position, std::uint8_t value) {
    RecordEntry& r = Rec(ref);
    if (position >= r.Data.size()) return;
    r.Data.MutableData()[position] = value;
}

void esfile::SetRecordBytes(RecordRef ref, Bytes bytes) {
    RecordEntry& r = Rec(ref);
    r.Size = static_cast<std::int32_t>(bytes.size());
    r.Data.Assign(std::move(bytes));
    r.Loaded = true;
}

} // namespace vellum
