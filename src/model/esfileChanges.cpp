#include "model/esfile.h"

#include "model/ByteCast.h"
#include "model/FileBuffer.h"

#include <algorithm>
#include <cstring>

namespace vellum {

namespace {

// The unpacked record's subrecords written out would give `loaded`; walks them without
// building the bytes.
bool SubrecordsMatch(const Subrecords& subs, ByteSpan loaded) {
    std::size_t p = 0;
    for (const auto& e : subs) {
        const Subrecord& s = e.value;
        if (loaded.size() - p < 8 + s.Data.size()) return false;
        for (std::size_t k = 0; k < 4; ++k)
            if (loaded[p + k] != (k < s.Name.size() ? std::uint8_t(s.Name[k]) : 0)) return false;
        if (cast::LoadU32(loaded.data() + p + 4) != s.Data.size()) return false;
        if (!s.Data.empty() && std::memcmp(loaded.data() + p + 8, s.Data.data(), s.Data.size()) != 0) return false;
        p += 8 + s.Data.size();
    }
    return p == loaded.size();
}

} // namespace

std::string_view esfile::LoadedType(std::size_t origin) const { return {loaded_[origin - 1].type, 4}; }

RecordChange esfile::ChangeOf(int index) const {
    const RecordEntry& r = records_.at(static_cast<std::size_t>(index));
    // An origin of another file (a record copied in keeps its source's) names a record of
    // another type here or none at all.
    if (r.Origin <= 0 || static_cast<std::size_t>(r.Origin) > loaded_.size() || !buffer_ ||
        r.Name != LoadedType(static_cast<std::size_t>(r.Origin)))
        return RecordChange::Added;
    const LoadedRecord& o = loaded_[static_cast<std::size_t>(r.Origin) - 1];
    if (r.Header1 != o.header1 || r.Flags != o.flags) return RecordChange::Changed;
    const ByteSpan loaded(buffer_->data() + o.offset + 16, static_cast<std::size_t>(o.size));
    bool same = true;
    if (!r.Packed && r.SubRecords) {
        const bool edited = std::any_of(r.SubRecords->begin(), r.SubRecords->end(),
                                        [](const auto& e) { return e.value.Edited(); });
        if (edited) {
            const Bytes now = CurrentData(r);
            same = std::equal(now.begin(), now.end(), loaded.begin(), loaded.end());
        } else {
            same = SubrecordsMatch(*r.SubRecords, loaded);
        }
    } else if (r.Loaded && r.Data.data() != loaded.data()) {
        same = r.Data.size() == loaded.size() &&
               (loaded.empty() || std::memcmp(r.Data.data(), loaded.data(), loaded.size()) == 0);
    } else if (r.Loaded) {
        same = r.Data.size() == loaded.size();
    }
    return same ? RecordChange::Unchanged : RecordChange::Changed;
}

std::vector<bool> esfile::LoadedStillHeld() const {
    std::vector<bool> held(loaded_.size());
    for (const RecordEntry& r : records_)
        if (r.Origin > 0 && static_cast<std::size_t>(r.Origin) <= loaded_.size() &&
            r.Name == LoadedType(static_cast<std::size_t>(r.Origin)))
            held[static_cast<std::size_t>(r.Origin) - 1] = true;
    return held;
}

int esfile::DeletedSinceLoad(std::string_view type) const {
    const std::vector<bool> held = LoadedStillHeld();
    int gone = 0;
    for (std::size_t i = 0; i < loaded_.size(); ++i)
        if (!held[i] && KeysEqual(LoadedType(i + 1), type)) ++gone;
    return gone;
}

std::vector<esfile::DeletedRecord> esfile::DeletedSinceLoad() const {
    const std::vector<bool> held = LoadedStillHeld();
    std::vector<DeletedRecord> gone;
    for (std::size_t i = 0; i < loaded_.size(); ++i) {
        if (held[i]) continue;
        const LoadedRecord& o = loaded_[i];
        const ByteSpan data(buffer_->data() + o.offset + 16, static_cast<std::size_t>(o.size));
        const std::string type(LoadedType(i + 1));
        gone.push_back({type, codec_.ReadID(type, data)});
    }
    return gone;
}

} // namespace vellum
