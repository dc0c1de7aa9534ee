#include "tools/VersionCopy.h"

#include "index/RawSubrecords.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "tools/Conflicts.h"
#include "tools/RecordIdentity.h"

#include <vector>

namespace vellum {

namespace {

struct Part {
    std::string name;
    Bytes data;
};

std::vector<Part> Parts(ByteSpan data) {
    std::vector<Part> out;
    ForEachRawSubrecord(data, [&](const RawSubrecord& s) {
        out.push_back({std::string(s.Name), Bytes(s.Data.begin(), s.Data.end())});
        return true;
    });
    return out;
}

Bytes Join(const std::vector<Part>& parts) {
    Bytes out;
    for (const Part& p : parts) {
        out.insert(out.end(), p.name.begin(), p.name.end());
        const auto size = static_cast<std::uint32_t>(p.data.size());
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(size >> (8 * k)));
        out.insert(out.end(), p.data.begin(), p.data.end());
    }
    return out;
}

// The position in `parts` of the subrecord `name` that is the `occurrence`-th of its name, or -1.
int Find(const std::vector<Part>& parts, std::string_view name, int occurrence) {
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].name == name && occurrence-- == 0) return static_cast<int>(i);
    return -1;
}

// Replaces the record's data, its ID and the indexes brought up to date.
void SetData(esfile& file, int record, Bytes data, std::int32_t flags) {
    if (!file.Records()[static_cast<std::size_t>(record)].Packed) file.PackRecord(record);
    file.ClearSubRecords(record);
    file.SetRecordBytes(record, std::move(data));
    RecordEntry& r = file.Records()[static_cast<std::size_t>(record)];
    r.Flags = flags;
    r.Packed = true;
    const std::string before = r.ID;
    if (file.GetID(record) != before) file.RebuildIndices();
    file.Changed = true;
}

} // namespace

int VersionCopy::Counterpart(const esfile& target, const esfile& source, int record) {
    Bytes scratch;
    const std::string key =
        RecordIdentity::Of(source.Records()[static_cast<std::size_t>(record)], Conflicts::DataOf(source, record, scratch)).key;
    if (key.empty()) return -1;
    for (int i = static_cast<int>(target.Records().size()) - 1; i > 0; --i)
        if (RecordIdentity::Of(target.Records()[static_cast<std::size_t>(i)], Conflicts::DataOf(target, i, scratch)).key == key)
            return i;
    return -1;
}

bool VersionCopy::Record(esfile& target, const esfile& source, int record) {
    const RecordEntry& from = source.Records()[static_cast<std::size_t>(record)];
    Bytes scratch;
    const ByteSpan data = Conflicts::DataOf(source, record, scratch);
    int at = Counterpart(target, source, record);
    if (at < 0) {
        // A response belongs to its topic, which the plug-in must hold.
        int parent = -1;
        if (!from.ParentKey.empty()) {
            for (int i = 1; i < static_cast<int>(target.Records().size()); ++i) {
                const RecordEntry& r = target.Records()[static_cast<std::size_t>(i)];
                if (r.Name == from.ParentKey.str().substr(0, 4) && KeysEqual(r.ID, from.ParentID.str())) parent = i;
            }
            if (parent < 0) {
                CurrentPrompt().Message("The record cannot be copied: the plug-in has no " +
                                        from.ParentKey.str().substr(0, 4) + " record \"" + from.ParentID.str() +
                                        "\" to hold it. Copy that one first.");
                return false;
            }
        }
        at = static_cast<int>(target.Records().size());
        target.Records().emplace_back();
        RecordEntry& r = target.Records().back();
        r.Name = from.Name;
        r.Key = r.Name + std::to_string(at);
        for (int n = at + 1; target.esRecArrayIndex().Exists(r.Key); ++n) r.Key = r.Name + std::to_string(n);
        r.FileName = target.FileName;
        r.Loaded = true;
        target.SetLastIndex(at);
        if (parent >= 0) {
            RecordEntry& p = target.Records()[static_cast<std::size_t>(parent)];
            r.ParentKey = p.Key;
            r.ParentID = p.ID;
            p.Children.push_back(r.Key);
        }
        target.IndexRecord(at);
    }
    SetData(target, at, Bytes(data.begin(), data.end()), from.Flags);
    target.RebuildIndices();
    return true;
}

bool VersionCopy::Subrecord(esfile& target, const esfile& source, int record, std::string_view name, int occurrence) {
    Bytes scratch;
    const std::vector<Part> from = Parts(Conflicts::DataOf(source, record, scratch));
    const int k = Find(from, name, occurrence);
    if (k < 0) {
        CurrentPrompt().Message("This version of the record has no such subrecord to copy.");
        return false;
    }
    int at = Counterpart(target, source, record);
    if (at < 0) return Record(target, source, record);
    std::vector<Part> into = Parts(Conflicts::DataOf(target, at, scratch));
    if (const int mine = Find(into, name, occurrence); mine >= 0) {
        into[static_cast<std::size_t>(mine)] = from[static_cast<std::size_t>(k)];
    } else {
        // After the subrecord that comes before it in the source, where the plug-in has that.
        std::size_t pos = into.size();
        if (k == 0) pos = 0;
        if (k > 0) {
            const std::string& prevName = from[static_cast<std::size_t>(k - 1)].name;
            int prevOccurrence = 0;
            for (int i = 0; i < k - 1; ++i) prevOccurrence += from[static_cast<std::size_t>(i)].name == prevName;
            if (const int prev = Find(into, prevName, prevOccurrence); prev >= 0) pos = static_cast<std::size_t>(prev) + 1;
        }
        into.insert(into.begin() + static_cast<std::ptrdiff_t>(pos), from[static_cast<std::size_t>(k)]);
    }
    SetData(target, at, Join(into), target.Records()[static_cast<std::size_t>(at)].Flags);
    return true;
}

bool VersionCopy::Property(esfile& target, const esfile& source, int record, std::string_view name, int occurrence,
                           std::string_view property) {
    int at = Counterpart(target, source, record);
    if (at < 0) return Record(target, source, record);
    Bytes scratch;
    const std::vector<Part> from = Parts(Conflicts::DataOf(source, record, scratch));
    std::vector<Part> into = Parts(Conflicts::DataOf(target, at, scratch));
    const int k = Find(from, name, occurrence), mine = Find(into, name, occurrence);
    if (k < 0) {
        CurrentPrompt().Message("This version of the record has no such subrecord to copy.");
        return false;
    }
    if (mine < 0) return Subrecord(target, source, record, name, occurrence);
    const std::string& type = target.Records()[static_cast<std::size_t>(at)].Name;
    auto decode = [&](const std::vector<Part>& parts, int i, Properties& out) {
        const Part& p = parts[static_cast<std::size_t>(i)];
        const std::string sub = PropertyCodec::TemplateSubrecordType(type, ToUpper(p.name), p.data.size(), i == 0);
        return target.Codec().Decode(type, sub, p.data, out);
    };
    Properties theirs, ours;
    const vellum::Property* a = decode(from, k, theirs) ? theirs.Find(property) : nullptr;
    const vellum::Property* b = decode(into, mine, ours) ? ours.Find(property) : nullptr;
    if (!a || !b) {
        CurrentPrompt().Message("The property cannot be copied: the two subrecords do not both hold it.");
        return false;
    }
    const Bytes& src = from[static_cast<std::size_t>(k)].data;
    Bytes& dst = into[static_cast<std::size_t>(mine)].data;
    const std::size_t aEnd = std::min(src.size(), a->Offset + a->StoredLength);
    const std::size_t bEnd = std::min(dst.size(), b->Offset + b->StoredLength);
    Bytes out(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(b->Offset));
    out.insert(out.end(), src.begin() + static_cast<std::ptrdiff_t>(a->Offset), src.begin() + static_cast<std::ptrdiff_t>(aEnd));
    out.insert(out.end(), dst.begin() + static_cast<std::ptrdiff_t>(bEnd), dst.end());
    dst = std::move(out);
    SetData(target, at, Join(into), target.Records()[static_cast<std::size_t>(at)].Flags);
    return true;
}

} // namespace vellum
