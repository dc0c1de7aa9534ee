#include "template/Search.h"

#include "model/KeyedCollection.h"
#include "model/Progress.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"
#include "template/PropertyTexts.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <tuple>

namespace vellum {

// Walks the scope in search order and hands every hit to a sink that may stop the walk.
class Search::Walker {
public:
    using Sink = std::function<bool(SearchHit&&)>;

    Walker(const Search& s, Sink sink) : s_(s), sink_(std::move(sink)) {}

    void Run(const SearchHit* from) {
        if (from && std::none_of(s_.scope_.begin(), s_.scope_.end(),
                                 [&](esfile* f) { return f && KeysEqual(f->FileName, from->FileKey); }))
            from = nullptr; // a place outside the scope: search from the start
        for (esfile* file : s_.scope_) {
            if (!file) continue;
            if (codec_ != &file->Codec()) {
                codec_ = &file->Codec();
                views_.emplace(*codec_);
                texts_.emplace(*codec_);
            }
            Place start;
            if (from) {
                if (!KeysEqual(file->FileName, from->FileKey)) {
                    if (!passedFromFile_) continue; // files before the one searched from
                } else {
                    passedFromFile_ = true;
                    start = Locate(*file, *from);
                }
            }
            const bool more = File(*file, from && start.found ? &start : nullptr, from);
            file->ReleaseFilePages();
            if (!more) return;
            if (from && passedFromFile_) from = nullptr; // later files are searched whole
        }
    }

private:
    struct Place {
        bool found = false;
        std::size_t category = 0, record = 0; // 1-based positions in the walk
    };

    // Where `from` lies in the file's walk; not found when its record is outside it.
    Place Locate(esfile& file, const SearchHit& from) {
        std::size_t c = 0;
        for (const auto& cat : file.esRecArrayCatIndex()) {
            ++c;
            if (std::size_t r = cat.value.esRecArrayCatEntries.PositionOf(from.RecordKey))
                return {true, c, r};
        }
        return {};
    }

    bool File(esfile& file, const Place* start, const SearchHit* from) {
        auto& cats = file.esRecArrayCatIndex();
        if (!s_.criteria_.RecordType.empty()) {
            std::size_t pos = cats.PositionOf(s_.criteria_.RecordType);
            if (pos == 0) return true; // the file has no such records
            return Category(file, pos, start, from);
        }
        for (std::size_t c = 1; c <= cats.Count(); ++c)
            if (!Category(file, c, start, from)) return false;
        return true;
    }

    bool Category(esfile& file, std::size_t c, const Place* start, const SearchHit* from) {
        if (start && c < start->category) return true;
        const auto& entries = file.esRecArrayCatIndex().Item(c).esRecArrayCatEntries;
        std::size_t r = 0;
        for (const auto& e : entries) {
            ++r;
            bool fromRecord = start && c == start->category && r == start->record;
            if (start && c == start->category && r < start->record) continue;
            if (!Record(file, e.value.IndexNumber, e.key, fromRecord ? from : nullptr)) return false;
        }
        return true;
    }

    bool Cancelled() const { return s_.progress_ && s_.progress_->Cancelled(); }

    void Step(const char* text, std::string_view name) {
        if (++steps_ <= 500) return;
        steps_ = 0;
        if (s_.progress_) s_.progress_->Waiting(-1, std::string(text) + std::string(name));
    }

    // Hands a hit at (sub, prop) of the current record to the sink, unless it lies at or
    // before the place searched from. False stops the walk.
    bool Emit(int sub, int prop, std::string_view subKey, std::string_view property, std::string_view value) {
        if (after_ && std::tie(sub, prop) <= std::tie(fromSub_, fromProp_)) return !Cancelled();
        SearchHit h{file_->FileName, std::string(recordKey_), std::string(subKey), std::string(property),
                    file_->FileTitle, record_->Name, record_->ID, std::string(value)};
        return sink_(std::move(h)) && !Cancelled();
    }

    bool Record(esfile& file, int index, std::string_view key, const SearchHit* from) {
        if (index < 0 || index >= static_cast<int>(file.Records().size())) return true;
        file_ = &file;
        recordKey_ = key;
        const SearchCriteria& c = s_.criteria_;
        // The editor's rule: what the search unpacks stays so when records are left unpacked.
        bool leaveUnpacked = file.LeaveRecordsUnpacked;
        RecordEntry* r = &file.Records()[static_cast<std::size_t>(index)];
        if (leaveUnpacked && r->Packed) {
            file.UnPackRecord(index);
            r = &file.Records()[static_cast<std::size_t>(index)];
        }
        if (r->Packed && !r->Loaded) file.LoadRecord(index);
        record_ = r;
        after_ = from != nullptr;
        fromSub_ = fromProp_ = -1;

        if (c.Text.empty() && c.SubType.empty()) {
            Step("Adding record ", key);
            return Emit(-1, -1, {}, {}, {});
        }
        const auto& subs = views_->Read(*r);
        if (from && !from->SubRecordKey.empty())
            for (std::size_t i = 0; i < subs.size(); ++i)
                if (KeysEqual(views_->KeyOf(i), from->SubRecordKey)) fromSub_ = static_cast<int>(i);
        // The editor selects subrecords, not properties: a subrecord place is past its own hits,
        // so that stepping from a hit it showed moves on.
        if (from && !from->SubRecordKey.empty() && from->Property.empty()) fromProp_ = std::numeric_limits<int>::max();
        std::string_view type = SubrecordViews::TypeOf(*r);
        for (std::size_t i = 0; i < subs.size(); ++i) {
            const SubrecordViews::View& v = subs[i];
            if (!c.SubType.empty() && !KeysEqual(v.name.substr(0, 4), c.SubType)) continue;
            int sub = static_cast<int>(i);
            if (c.Text.empty()) {
                std::string subKey = views_->KeyOf(i);
                Step("Adding subrecord ", subKey);
                if (!Emit(sub, -1, subKey, {}, {})) return false;
                continue;
            }
            if (!texts_->HasString(type, v.name)) continue;
            Step("Checking subrecord ", v.name);
            if (!Compare(file, index, sub, v, from && sub == fromSub_ ? from : nullptr)) return false;
        }
        return true;
    }

    // Compares every property of a subrecord that holds text with the search text.
    bool Compare(esfile& file, int index, int sub, const SubrecordViews::View& v, const SearchHit* from) {
        std::string_view type = SubrecordViews::TypeOf(*record_);
        const Properties* props = v.decoded;
        if (!props && !record_->Packed) {
            // The record was left unpacked for the user: decode the subrecord as the editor would.
            std::string key(v.key);
            if (file.UnpackSubRecord(index, key))
                if (const Subrecord* s = file.Records()[static_cast<std::size_t>(index)].SubRecords->Find(key))
                    props = &s->Properties;
        }
        // Decoded properties are read as they stand, others as text straight from the bytes.
        std::vector<std::pair<std::string_view, std::string_view>>& items = items_;
        items.clear();
        owned_.clear();
        if (props) {
            owned_.reserve(props->Count());
            for (const auto& e : *props) {
                owned_.push_back(e.value.Text());
                items.emplace_back(e.value.Name, owned_.back());
            }
        } else {
            texts_->Decode(type, v.name, v.data);
            for (const auto& item : texts_->Items()) items.emplace_back(item.name, texts_->Value(item));
        }
        if (from && !from->Property.empty())
            for (std::size_t p = 0; p < items.size(); ++p)
                if (items[p].first == from->Property) fromProp_ = static_cast<int>(p);
        for (std::size_t p = 0; p < items.size(); ++p) {
            if (!s_.criteria_.Matches(items[p].second)) continue;
            std::string subKey = views_->KeyOf(static_cast<std::size_t>(sub));
            Step("Adding property ", items[p].first);
            if (!Emit(sub, static_cast<int>(p), subKey, items[p].first, items[p].second)) return false;
        }
        return !Cancelled();
    }

    const Search& s_;
    Sink sink_;
    bool passedFromFile_ = false;
    int steps_ = 0;
    esfile* file_ = nullptr;
    const RecordEntry* record_ = nullptr;
    std::string_view recordKey_;
    bool after_ = false;
    int fromSub_ = -1, fromProp_ = -1;
    const PropertyCodec* codec_ = nullptr;
    std::optional<SubrecordViews> views_;
    std::optional<PropertyTexts> texts_;
    std::vector<std::pair<std::string_view, std::string_view>> items_;
    std::vector<std::string> owned_; // reserved up front: items point into it
};

Search::Search(std::vector<esfile*> scope, SearchCriteria criteria, Progress* progress)
    : scope_(std::move(scope)), criteria_(std::move(criteria)), progress_(progress) {}

std::vector<SearchHit> Search::FindAll() {
    std::vector<SearchHit> hits;
    Walker walker(*this, [&](SearchHit&& h) {
        hits.push_back(std::move(h));
        return true;
    });
    walker.Run(nullptr);
    return hits;
}

std::optional<SearchHit> Search::FindNext(const SearchHit* from) {
    std::optional<SearchHit> found;
    Walker walker(*this, [&](SearchHit&& h) {
        found = std::move(h);
        return false;
    });
    walker.Run(from);
    return found;
}

} // namespace vellum
