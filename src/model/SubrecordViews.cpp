#include "model/SubrecordViews.h"

#include "model/KeyedCollection.h"
#include "model/RecordEntry.h"
#include "template/PropertyCodec.h"

#include <algorithm>
#include <cstring>

namespace vellum {

std::string_view SubrecordViews::TypeOf(const RecordEntry& r) {
    return r.CatKey();
}

const std::vector<SubrecordViews::View>& SubrecordViews::Read(const RecordEntry& r) {
    views_.clear();
    if (!r.Packed && r.SubRecords)
        Unpacked(r);
    else
        Split(r);
    return views_;
}

void SubrecordViews::Split(const RecordEntry& r) {
    ByteSpan d = r.Data.span();
    std::string_view type = TypeOf(r);
    names_.clear();
    raws_.clear();
    for (std::size_t p = 0; p < d.size();) {
        // A header or data cut short by the record's end keeps what is there, as unpacking does.
        std::size_t n = std::min<std::size_t>(4, d.size() - p);
        std::string raw(reinterpret_cast<const char*>(d.data() + p), n);
        std::size_t start = std::min(d.size(), p + 8);
        std::int32_t stored = -1;
        if (d.size() - p >= 8) std::memcpy(&stored, d.data() + p + 4, 4);
        std::size_t len = stored < 0 ? d.size() - start : std::min<std::size_t>(stored, d.size() - start);
        ByteSpan data = d.subspan(start, len);

        raws_.push_back(raw);
        std::string upper = raw;
        for (char& c : upper) c = c >= 'a' && c <= 'z' ? char(c - 32) : c;
        names_.push_back(PropertyCodec::TemplateSubrecordType(type, upper, data.size(), p == 0));
        views_.push_back({{}, {}, data, nullptr});
        p = start + len;
    }
    // The texts are in place now; vectors of strings may have moved them while growing.
    for (std::size_t i = 0; i < views_.size(); ++i) views_[i].name = names_[i];
}

std::string SubrecordViews::KeyOf(std::size_t i) const {
    if (!views_[i].key.empty()) return std::string(views_[i].key);
    // Unpacking keys a subrecord by its name, adding its position when the name is taken.
    const std::string& raw = raws_[i];
    for (std::size_t j = 0; j < i; ++j)
        if (KeysEqual(raws_[j], raw)) return raw + std::to_string(i);
    return raw;
}

void SubrecordViews::Unpacked(const RecordEntry& r) {
    edited_.clear();
    edited_.reserve(r.SubRecords->Count()); // views point into it: no reallocation
    for (const auto& e : *r.SubRecords) {
        const Subrecord& s = e.value;
        View v{s.Name, e.key, s.Data, s.Packed ? nullptr : &s.Properties};
        if (s.Edited()) {
            edited_.push_back(codec_.Encode(s.Properties));
            v.data = edited_.back();
        }
        views_.push_back(v);
    }
}

Bytes SubrecordViews::CurrentData(const RecordEntry& r) {
    if (r.Packed || !r.SubRecords) return r.Data.ToBytes();
    Bytes out;
    for (const View& s : Read(r)) {
        for (std::size_t k = 0; k < 4; ++k) out.push_back(k < s.name.size() ? std::uint8_t(s.name[k]) : 0);
        auto size = static_cast<std::uint32_t>(s.data.size());
        for (int k = 0; k < 4; ++k) out.push_back(std::uint8_t(size >> (8 * k)));
        out.insert(out.end(), s.data.begin(), s.data.end());
    }
    return out;
}

} // namespace vellum
