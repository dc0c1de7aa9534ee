#include "tools/Cleaner.h"

#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "index/RawSubrecords.h"
#include "model/ByteCast.h"
#include "index/ReferenceReader.h"
#include "model/KeyedCollection.h"
#include "model/Progress.h"
#include "model/esfile.h"
#include "template/esTextLookups.h"
#include "tools/Conflicts.h"
#include "tools/DirtySettings.h"
#include "tools/RecordIdentity.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

namespace vellum {

namespace {

constexpr int kReportEvery = 500; // records

std::string FileNameOf(const esfile& f) {
    return f.FileTitle.empty() ? std::filesystem::path(f.FileName).filename().string() : f.FileTitle;
}

// The IDs the plug-in's records refer to, each with the records that do (by position). A
// response's links to the responses before and after it in its topic are its place in the
// chain, not a use of them, and do not count.
std::unordered_map<std::string, std::vector<int>> ReferencedIDs(const esfile& plugin) {
    std::unordered_map<std::string, std::vector<int>> out;
    esTextLookups lookups;
    BuildTextLookupList(lookups, plugin.Template());
    if (lookups.empty()) return out;
    ReferenceReader reader(plugin.Template(), lookups);
    Bytes scratch;
    for (int i = 1; i < static_cast<int>(plugin.Records().size()); ++i) {
        const RecordEntry& r = plugin.Records()[static_cast<std::size_t>(i)];
        const std::string_view type = r.Name;
        if (!reader.HasLookups(type)) continue;
        ForEachRawSubrecord(Conflicts::DataOf(plugin, i, scratch), [&](const RawSubrecord& s) {
            std::string_view sub = s.Name;
            if (s.Offset != 0 && sub == "NAME" && type == "CELL") sub = "NAME_NEXT";
            const ReferenceReader::Plan& plan = reader.PlanFor(type, sub);
            if (!plan.Indexed) return true;
            if (type == "INFO") {
                const esTextLookup* l = lookups.Find(type, sub, plan.PropertyName);
                if (l && l->esLookupTypes.Count() == 1 && l->Targets("INFO")) return true;
            }
            const std::string_view value = ReferenceReader::Value(plan, s.Data);
            if (!value.empty()) out[FoldKey(value)].push_back(i);
            return true;
        });
    }
    return out;
}

// A cell's data in parts: the cell's own subrecords, then reference groups, each begun by an
// FRMR (a reference), an MVRF (a moved reference) or a NAM0 (the count of the temporary
// references that follow).
struct CellParts {
    struct Group {
        std::size_t begin = 0, end = 0;
        char kind = 'F'; // 'F', 'M' or 'N'
        std::uint32_t value = 0; // FRMR: the reference number; NAM0: the count
    };
    std::size_t partEnd = 0;
    std::vector<Group> groups;
    bool whole = false; // the data is exactly a sequence of subrecords

    explicit CellParts(ByteSpan data) {
        std::size_t covered = 0;
        bool inPart = true;
        ForEachRawSubrecord(data, [&](const RawSubrecord& s) {
            const char kind = s.Name == "FRMR" ? 'F' : s.Name == "MVRF" ? 'M' : s.Name == "NAM0" ? 'N' : 0;
            if (kind) {
                inPart = false;
                std::uint32_t v = 0;
                if (s.Data.size() == 4) v = cast::LoadU32(s.Data.data());
                groups.push_back({s.Offset, s.Offset, kind, v});
            }
            covered = s.Offset + 8 + s.Data.size();
            if (inPart) partEnd = covered;
            else groups.back().end = covered;
            return true;
        });
        whole = covered == data.size();
    }
};

// Where a reference comes from: the file that made it (named by `file`'s master list when the
// number's high byte says so) and its number there.
std::string Origin(const esfile& file, std::uint32_t number) {
    const std::uint32_t master = number >> 24;
    std::string name;
    if (master == 0) name = FileNameOf(file);
    else if (master <= file.esMasterFiles().Count()) name = file.esMasterFiles().Item(master).Name;
    else name = "?" + std::to_string(master);
    return FoldKey(name) + '\0' + std::to_string(number & 0xFFFFFF);
}

bool SameBytes(ByteSpan a, ByteSpan b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

// The plug-in cell's reference groups that stand as they are in the master's cell (compared
// without their reference numbers, which each file counts by its own master list); the groups
// of moved references and the reference each moves are never among them.
std::vector<std::size_t> IdenticalReferences(const esfile& plugin, ByteSpan mine, const CellParts& myParts,
                                             const esfile& master, ByteSpan theirs, const CellParts& theirParts) {
    std::unordered_map<std::string, const CellParts::Group*> known;
    for (const auto& g : theirParts.groups)
        if (g.kind == 'F') known.emplace(Origin(master, g.value), &g);
    std::vector<std::size_t> out;
    for (std::size_t k = 0; k < myParts.groups.size(); ++k) {
        const CellParts::Group& g = myParts.groups[k];
        if (g.kind != 'F' || g.value >> 24 == 0) continue;
        if (k > 0 && myParts.groups[k - 1].kind == 'M') continue;
        const auto it = known.find(Origin(plugin, g.value));
        if (it == known.end()) continue;
        const CellParts::Group& t = *it->second;
        const ByteSpan a = mine.subspan(g.begin, g.end - g.begin), b = theirs.subspan(t.begin, t.end - t.begin);
        if (a.size() == b.size() && a.size() >= 12 && SameBytes(a.subspan(0, 8), b.subspan(0, 8)) &&
            SameBytes(a.subspan(12), b.subspan(12)))
            out.push_back(k);
    }
    return out;
}

// The cell's data without the groups `drop`; a NAM0 counts the temporary references left after
// it, and goes when none is left.
Bytes WithoutGroups(ByteSpan data, const CellParts& parts, const std::vector<std::size_t>& drop) {
    std::vector<char> gone(parts.groups.size(), 0);
    for (std::size_t k : drop) gone[k] = 1;
    Bytes out(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(parts.partEnd));
    for (std::size_t k = 0; k < parts.groups.size(); ++k) {
        const CellParts::Group& g = parts.groups[k];
        if (gone[k]) continue;
        const std::size_t at = out.size();
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(g.begin),
                   data.begin() + static_cast<std::ptrdiff_t>(g.end));
        if (g.kind != 'N' || g.end - g.begin != 12) continue;
        std::uint32_t removed = 0, left = 0;
        for (std::size_t j = k + 1; j < parts.groups.size(); ++j) {
            if (parts.groups[j].kind != 'F') continue;
            (gone[j] ? removed : left) += 1;
        }
        if (left == 0) out.resize(at);
        else cast::StoreU32(out.data() + at + 8, g.value >= removed ? g.value - removed : left);
    }
    return out;
}

} // namespace

std::string Cleaner::Item::Line() const {
    if (WholeRecord()) return type + " " + id + ": " + reason;
    return type + " " + id + ": " + std::to_string(references) + " references " + reason;
}

std::string Cleaner::Summary(int removed, int records) {
    return "removed " + std::to_string(removed) + " of " + std::to_string(records) + " records";
}

std::vector<Cleaner::Item> Cleaner::Find(const esfile& plugin, const std::vector<esfile*>& masters,
                                         const DirtySettings& dirty, Progress* progress) {
    // The masters' versions, the last in load order winning.
    struct Version {
        const esfile* file;
        int record;
    };
    std::unordered_map<std::string, Version> theirs;
    Bytes scratch;
    for (const esfile* m : masters)
        for (int i = 0; i < static_cast<int>(m->Records().size()); ++i) {
            RecordIdentity id = RecordIdentity::Of(m->Records()[static_cast<std::size_t>(i)], Conflicts::DataOf(*m, i, scratch));
            if (!id.key.empty()) theirs[std::move(id.key)] = {m, i};
        }
    const auto referenced = ReferencedIDs(plugin);
    auto usedByOthers = [&](int i, const std::string& id) {
        const auto it = referenced.find(FoldKey(id));
        if (it == referenced.end()) return false;
        for (int by : it->second)
            if (by != i) return true;
        return false;
    };

    std::vector<Item> items;
    std::vector<int> topics;
    std::unordered_set<int> removed;
    Bytes mineScratch, theirScratch;
    const auto& records = plugin.Records();
    for (int i = 1; i < static_cast<int>(records.size()); ++i) {
        if (progress && i % kReportEvery == 0) {
            if (progress->Cancelled()) return {};
            progress->Waiting(100.0 * i / static_cast<double>(records.size()), "Comparing record " + std::to_string(i));
        }
        const RecordEntry& r = records[static_cast<std::size_t>(i)];
        const ByteSpan mine = Conflicts::DataOf(plugin, i, mineScratch);
        const RecordIdentity id = RecordIdentity::Of(r, mine);
        if (id.key.empty() || usedByOthers(i, r.ID)) continue;
        Item item{i, r.Name, id.display, {}, 0, {}};
        if (r.Name == "GMST" && dirty.IsDirty(r.ID, mine)) {
            item.reason = "dirty game setting";
        } else {
            const auto it = theirs.find(id.key);
            if (it == theirs.end()) continue;
            const esfile& master = *it->second.file;
            const RecordEntry& t = master.Records()[static_cast<std::size_t>(it->second.record)];
            const ByteSpan other = Conflicts::DataOf(master, it->second.record, theirScratch);
            item.reason = "identical to " + FileNameOf(master);
            if (r.Name == "DIAL") {
                if (t.Flags == r.Flags && SameBytes(mine, other)) topics.push_back(i);
                continue;
            }
            if (t.Flags != r.Flags || !SameBytes(mine, other)) {
                if (r.Name != "CELL") continue;
                const CellParts myParts(mine), theirParts(other);
                if (!myParts.whole || !theirParts.whole) continue;
                const std::vector<std::size_t> same =
                    IdenticalReferences(plugin, mine, myParts, master, other, theirParts);
                std::size_t references = 0;
                for (const auto& g : myParts.groups) references += g.kind != 'N';
                const bool ownPart = t.Flags != r.Flags || !SameBytes(mine.subspan(0, myParts.partEnd),
                                                                      other.subspan(0, theirParts.partEnd));
                if (same.empty()) continue;
                if (ownPart || same.size() < references) {
                    item.references = static_cast<int>(same.size());
                    item.trimmed = WithoutGroups(mine, myParts, same);
                }
            }
        }
        if (item.WholeRecord()) removed.insert(i);
        items.push_back(std::move(item));
    }
    // A topic goes with the last of its responses.
    for (int i : topics) {
        const RecordEntry& r = records[static_cast<std::size_t>(i)];
        bool empty = true;
        for (const std::string& child : r.Children) {
            const auto* e = plugin.esRecArrayIndex().Find(child);
            empty = empty && (!e || removed.count(e->IndexNumber));
        }
        if (!empty) continue;
        const auto it = theirs.find(RecordIdentity::Of(r, Conflicts::DataOf(plugin, i, mineScratch)).key);
        items.push_back({i, r.Name, r.ID, "identical to " + FileNameOf(*it->second.file), 0, {}});
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.record < b.record; });
    return items;
}

int Cleaner::Apply(esfile& plugin, const std::vector<Item>& items, Progress* progress,
                   ReferenceIndexBuilder* indexer) {
    HistoryScope step(plugin, "Clean {records}");
    auto& records = plugin.Records();
    int removed = 0;
    for (const Item& item : items) {
        if (item.record <= 0 || item.record >= static_cast<int>(records.size())) continue;
        RecordEntry& r = records[static_cast<std::size_t>(item.record)];
        if (item.WholeRecord()) {
            r.Deleted = true;
            continue;
        }
        if (!r.Packed) plugin.PackRecord(item.record);
        plugin.ClearSubRecords(item.record);
        plugin.SetRecordBytes(item.record, item.trimmed);
    }
    // A topic stays while any of its responses does.
    for (const Item& item : items) {
        if (!item.WholeRecord() || item.record <= 0 || item.record >= static_cast<int>(records.size())) continue;
        RecordEntry& r = records[static_cast<std::size_t>(item.record)];
        for (const std::string& child : r.Children) {
            const auto* e = plugin.esRecArrayIndex().Find(child);
            if (e && !records[static_cast<std::size_t>(e->IndexNumber)].Deleted) r.Deleted = false;
        }
    }
    for (const RecordEntry& r : records) removed += r.Deleted;
    if (removed == 0 && items.empty()) return 0;
    DeleteMarked(plugin, progress, indexer, nullptr);
    plugin.Changed = true;
    return removed;
}

} // namespace vellum
