#include "index/ChainLinks.h"

#include "index/RawSubrecords.h"
#include "index/ReferenceReader.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

const ChainLinks::Types& ChainLinks::TypesOf(std::string_view recordType) {
    const std::string key = ToUpper(recordType);
    auto it = types_.find(key);
    if (it != types_.end()) return it->second;
    Types t;
    for (const auto& g : file_.Template().Groups()) {
        const std::string& name = g.value.Name;
        if (name.size() <= key.size() + 1 || name[key.size()] != '.' || !StartsWithNoCase(name, key)) continue;
        const std::string sub = name.substr(key.size() + 1);
        const SubrecordLayout* layout = file_.Codec().Layout(key, sub);
        if (!layout) continue;
        if (layout->Chain == Link::Previous) t.previous = sub;
        if (layout->Chain == Link::Next) t.next = sub;
    }
    if (t.previous.empty() || t.next.empty()) t = {};
    return types_.emplace(key, std::move(t)).first->second;
}

bool ChainLinks::Chained(std::string_view recordType) { return !TypesOf(recordType).previous.empty(); }

const std::string& ChainLinks::SubOf(std::string_view recordType, Link which) {
    const Types& t = TypesOf(recordType);
    return which == Link::Previous ? t.previous : t.next;
}

std::string ChainLinks::Get(int index, Link which) {
    RecordEntry& r = file_.Records()[static_cast<std::size_t>(index)];
    const std::string& sub = SubOf(r.Name, which);
    if (sub.empty()) return {};
    if (!r.Packed && r.SubRecords) {
        for (auto& e : *r.SubRecords) {
            if (!KeysEqual(e.value.Name, sub)) continue;
            if (!e.value.Packed && e.value.Properties.Count() > 0)
                return std::string(ReferenceReader::CleanText(e.value.Properties.Item(1).Text()));
            const std::string_view text(reinterpret_cast<const char*>(e.value.Data.data()), e.value.Data.size());
            return std::string(ReferenceReader::CleanText(text));
        }
        return {};
    }
    if (!r.Loaded) file_.LoadRecord(index);
    std::string value;
    ForEachRawSubrecord(r.Data.span(), [&](const RawSubrecord& s) {
        if (!KeysEqual(s.Name, sub)) return true;
        value = ReferenceReader::CleanText(std::string_view(reinterpret_cast<const char*>(s.Data.data()), s.Data.size()));
        return false;
    });
    return value;
}

bool ChainLinks::Set(int index, Link which, const std::string& id) {
    if (index <= 0 || Get(index, which) == id) return false;
    RecordEntry& r = file_.Records()[static_cast<std::size_t>(index)];
    const std::string& sub = SubOf(r.Name, which);
    const bool wasPacked = r.Packed;
    file_.UnPackRecord(index);
    bool set = false;
    if (r.SubRecords)
        for (auto& e : *r.SubRecords) {
            if (!KeysEqual(e.value.Name, sub) || !file_.UnpackSubRecord(index, e.key)) continue;
            Subrecord& s = r.SubRecords->Item(e.key);
            if (s.Properties.Count() == 0) break;
            s.Properties.Item(1).SetValue(id);
            file_.PackSubRecord(index, e.key);
            set = true;
            break;
        }
    if (wasPacked && !file_.LeaveRecordsUnpacked) file_.PackRecord(index);
    if (set) file_.Changed = true;
    return set;
}

int ChainLinks::Sibling(int index, std::string_view id) {
    if (id.empty()) return -1;
    const auto& records = file_.Records();
    const RecordEntry& r = records[static_cast<std::size_t>(index)];
    const auto* parent = r.ParentKey.empty() ? nullptr : file_.esRecArrayIndex().Find(r.ParentKey.str());
    if (parent) {
        for (const std::string& key : records[static_cast<std::size_t>(parent->IndexNumber)].Children) {
            const auto* c = file_.esRecArrayIndex().Find(key);
            if (c && c->IndexNumber != index && KeysEqual(records[static_cast<std::size_t>(c->IndexNumber)].ID, id))
                return c->IndexNumber;
        }
        return -1;
    }
    const auto* cat = file_.esRecArrayCatIndex().Item(r.Name);
    const esRecIDEntry* e = cat ? cat->esRecIDIndex.Find(id) : nullptr;
    return e && e->IndexNumber != index && e->IndexNumber > 0 && e->IndexNumber < static_cast<int>(records.size())
               ? e->IndexNumber
               : -1;
}

bool ChainLinks::RelinkAroundDeleted() {
    bool changed = false;
    auto& records = file_.Records();
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (!records[i].Deleted || !Chained(records[i].Name)) continue;
        const auto* parent = records[i].ParentKey.empty() ? nullptr : file_.esRecArrayIndex().Find(records[i].ParentKey.str());
        if (parent && records[static_cast<std::size_t>(parent->IndexNumber)].Deleted) continue; // the whole list goes
        changed |= Unlink(static_cast<int>(i));
    }
    return changed;
}

bool ChainLinks::Unlink(int index) {
    auto& records = file_.Records();
    const std::size_t limit = records.size();
    // The nearest neighbours that stay, on either side.
    auto nearest = [&](Link which) {
        std::string id = Get(index, which);
        int at = Sibling(index, id);
        for (std::size_t steps = 0; at > 0 && records[static_cast<std::size_t>(at)].Deleted && steps < limit; ++steps) {
            id = Get(at, which);
            at = Sibling(at, id);
        }
        return std::pair{id, at};
    };
    const auto [previous, before] = nearest(Link::Previous);
    const auto [next, after] = nearest(Link::Next);
    bool changed = false;
    if (before > 0 && !records[static_cast<std::size_t>(before)].Deleted) changed |= Set(before, Link::Next, next);
    if (after > 0 && !records[static_cast<std::size_t>(after)].Deleted) changed |= Set(after, Link::Previous, previous);
    return changed;
}

void ChainLinks::LinkAsLastChild(int index) {
    auto& records = file_.Records();
    const RecordEntry& r = records[static_cast<std::size_t>(index)];
    if (!Chained(r.Name)) return;
    const auto* parent = r.ParentKey.empty() ? nullptr : file_.esRecArrayIndex().Find(r.ParentKey.str());
    if (!parent) return;
    int last = -1;
    for (const std::string& key : records[static_cast<std::size_t>(parent->IndexNumber)].Children) {
        const auto* c = file_.esRecArrayIndex().Find(key);
        if (c && c->IndexNumber != index && KeysEqual(records[static_cast<std::size_t>(c->IndexNumber)].Name, r.Name))
            last = c->IndexNumber;
    }
    const std::string id = r.ID;
    const std::string previous = last > 0 ? records[static_cast<std::size_t>(last)].ID : std::string();
    const std::string next = last > 0 ? Get(last, Link::Next) : std::string();
    Set(index, Link::Previous, previous);
    Set(index, Link::Next, next);
    if (last > 0) Set(last, Link::Next, id);
    const int after = Sibling(index, next);
    if (after > 0) Set(after, Link::Previous, id);
}

} // namespace vellum
