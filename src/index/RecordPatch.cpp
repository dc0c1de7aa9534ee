#include "index/RecordPatch.h"

#include "model/esfile.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace vellum {

namespace {

bool SameBytes(ByteSpan a, ByteSpan b) {
    return a.size() == b.size() && (a.data() == b.data() || a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool Unpacked(const RecordEntry& r) { return !r.Packed && r.SubRecords; }

std::size_t TextBytes(const std::string& s) { return s.capacity() > 15 ? s.capacity() : 0; }

} // namespace

RecordEntry RecordPatch::Frozen(const RecordEntry& r, const esfile& file) {
    if (!Unpacked(r) && !r.SubRecords && !r.SubHeaders) return r;
    RecordEntry e = r;
    if (Unpacked(r)) {
        e.Data = SharedBytes(file.CurrentData(r));
        e.Loaded = true;
    }
    e.Packed = true;
    e.SubRecords.reset();
    e.SubHeaders.reset();
    return e;
}

bool RecordPatch::Same(const RecordEntry& a, const RecordEntry& b, const esfile& file) {
    if (a.Key != b.Key || a.ID != b.ID || a.Name != b.Name || a.Offset != b.Offset || a.Size != b.Size ||
        a.Header1 != b.Header1 || a.Flags != b.Flags || a.CopyLevel != b.CopyLevel || a.CopyMark != b.CopyMark ||
        a.Deleted != b.Deleted || a.Marked != b.Marked || a.Checked != b.Checked || a.Added != b.Added || a.Origin != b.Origin ||
        a.PreviousID.str() != b.PreviousID.str() || a.Description.str() != b.Description.str() ||
        a.ParentKey.str() != b.ParentKey.str() || a.ParentID.str() != b.ParentID.str() ||
        a.FileName.str() != b.FileName.str() || a.Children != b.Children)
        return false;
    // A record never loaded holds its bytes where the file has them (same offset and size).
    const bool aOnDisk = !Unpacked(a) && !a.Loaded, bOnDisk = !Unpacked(b) && !b.Loaded;
    if (aOnDisk || bOnDisk) return aOnDisk == bOnDisk;
    if (!Unpacked(a) && !Unpacked(b)) return SameBytes(a.Data, b.Data);
    const Bytes left = Unpacked(a) ? file.CurrentData(a) : a.Data.ToBytes();
    const Bytes right = Unpacked(b) ? file.CurrentData(b) : b.Data.ToBytes();
    return left == right;
}

void RecordPatch::Push(bool kept, std::uint32_t from) {
    if (!runs_.empty()) {
        Run& last = runs_.back();
        if (last.kept == kept && last.from + last.count == from) {
            ++last.count;
            return;
        }
    }
    runs_.push_back({from, 1, kept});
}

RecordPatch RecordPatch::Between(const std::vector<RecordEntry>& target, const std::vector<RecordEntry>& source,
                                 const esfile& file) {
    RecordPatch p;
    p.targetSize_ = target.size();
    p.sourceSize_ = source.size();
    std::unordered_map<std::string_view, std::uint32_t> where;
    where.reserve(source.size());
    for (std::size_t j = 0; j < source.size(); ++j) where.emplace(source[j].Key, static_cast<std::uint32_t>(j));
    for (const RecordEntry& t : target) {
        // Most entries keep their position: try it before the hash look-up.
        const std::size_t guess = p.runs_.empty() || p.runs_.back().kept ? source.size()
                                                                          : p.runs_.back().from + p.runs_.back().count;
        std::uint32_t j = 0;
        bool found = false;
        if (guess < source.size() && source[guess].Key == t.Key) {
            j = static_cast<std::uint32_t>(guess);
            found = true;
        } else if (auto it = where.find(t.Key); it != where.end()) {
            j = it->second;
            found = true;
        }
        if (found && Same(t, source[j], file)) {
            p.Push(false, j);
        } else {
            p.Push(true, static_cast<std::uint32_t>(p.kept_.size()));
            p.kept_.push_back(Frozen(t, file));
        }
    }
    p.kept_.shrink_to_fit();
    p.runs_.shrink_to_fit();
    return p;
}

bool RecordPatch::Apply(const std::vector<RecordEntry>& source, std::vector<RecordEntry>& out) const {
    if (source.size() != sourceSize_) return false;
    std::vector<RecordEntry> result;
    result.reserve(targetSize_);
    for (const Run& r : runs_) {
        const auto& from = r.kept ? kept_ : source;
        result.insert(result.end(), from.begin() + r.from, from.begin() + r.from + r.count);
    }
    out = std::move(result);
    return true;
}

bool RecordPatch::IsIdentity(std::size_t sourceSize) const {
    if (targetSize_ != sourceSize || sourceSize_ != sourceSize) return false;
    if (sourceSize == 0) return true;
    return runs_.size() == 1 && !runs_[0].kept && runs_[0].from == 0;
}

std::size_t RecordPatch::MemoryBytes() const {
    std::size_t n = sizeof(*this) + runs_.capacity() * sizeof(Run) + kept_.capacity() * sizeof(RecordEntry);
    for (const RecordEntry& r : kept_) {
        n += TextBytes(r.Key) + TextBytes(r.ID) + TextBytes(r.Name) + r.PreviousID.size() + r.Description.size() +
             r.ParentKey.size() + r.ParentID.size() + r.Data.size();
        for (const std::string& c : r.Children) n += sizeof(std::string) + TextBytes(c);
    }
    return n;
}

} // namespace vellum
