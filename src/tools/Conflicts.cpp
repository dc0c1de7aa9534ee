#include "tools/Conflicts.h"

#include "index/RawSubrecords.h"
#include "model/Progress.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"
#include "tools/RecordIdentity.h"

#include <algorithm>
#include <unordered_map>

namespace vellum {

namespace {
constexpr int kReportEvery = 2000; // records
}

ByteSpan Conflicts::DataOf(const esfile& file, int record, Bytes& scratch) {
    const RecordEntry& r = file.Records()[static_cast<std::size_t>(record)];
    if (r.Packed || !r.SubRecords) return r.Data.span();
    scratch = SubrecordViews(file.Codec()).CurrentData(r);
    return scratch;
}

std::vector<std::string> Conflicts::Differences(const std::vector<const RecordEntry*>& records,
                                                const std::vector<ByteSpan>& data) {
    std::vector<std::string> out;
    bool sameFlags = true;
    for (const RecordEntry* r : records) sameFlags = sameFlags && r->Flags == records.front()->Flags;
    if (!sameFlags) out.emplace_back("flags");

    // Each version's subrecords by name, in order.
    std::vector<std::string> names;
    std::vector<std::unordered_map<std::string, std::vector<ByteSpan>>> byName(data.size());
    for (std::size_t v = 0; v < data.size(); ++v) {
        ForEachRawSubrecord(data[v], [&](const RawSubrecord& s) {
            std::string name(s.Name);
            auto& list = byName[v][name];
            if (list.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
            list.push_back(s.Data);
            return true;
        });
    }
    auto same = [](const std::vector<ByteSpan>* a, const std::vector<ByteSpan>* b) {
        const std::size_t na = a ? a->size() : 0, nb = b ? b->size() : 0;
        if (na != nb) return false;
        for (std::size_t i = 0; i < na; ++i)
            if (!std::equal((*a)[i].begin(), (*a)[i].end(), (*b)[i].begin(), (*b)[i].end())) return false;
        return true;
    };
    for (const std::string& name : names) {
        auto find = [&](std::size_t v) -> const std::vector<ByteSpan>* {
            const auto it = byName[v].find(name);
            return it == byName[v].end() ? nullptr : &it->second;
        };
        for (std::size_t v = 1; v < data.size(); ++v) {
            if (!same(find(0), find(v))) {
                out.push_back(name);
                break;
            }
        }
    }
    return out;
}

std::vector<Conflicts::Entry> Conflicts::Find(const std::vector<esfile*>& files, Progress* progress) {
    struct Seen {
        std::vector<std::size_t> files;
        std::vector<int> records;
        std::string type, id;
    };
    std::vector<Seen> seen;
    std::unordered_map<std::string, std::size_t> byKey;
    std::size_t total = 0, done = 0;
    for (const esfile* f : files) total += f->Records().size();
    Bytes scratch;
    for (std::size_t fi = 0; fi < files.size(); ++fi) {
        const esfile& f = *files[fi];
        for (int i = 0; i < static_cast<int>(f.Records().size()); ++i) {
            if (progress && ++done % kReportEvery == 0) {
                if (progress->Cancelled()) break;
                progress->Waiting(100.0 * static_cast<double>(done) / static_cast<double>(total),
                                  "Comparing " + f.FileTitle);
            }
            const RecordEntry& r = f.Records()[static_cast<std::size_t>(i)];
            RecordIdentity id = RecordIdentity::Of(r, DataOf(f, i, scratch));
            if (id.key.empty()) continue;
            auto [it, added] = byKey.emplace(std::move(id.key), seen.size());
            if (added) seen.push_back({{}, {}, r.Name, std::move(id.display)});
            Seen& s = seen[it->second];
            // A file that defines the record twice counts once, with its later version.
            if (!s.files.empty() && s.files.back() == fi) {
                s.records.back() = i;
                continue;
            }
            s.files.push_back(fi);
            s.records.push_back(i);
        }
    }

    std::vector<Entry> out;
    std::vector<Bytes> scratches;
    for (Seen& s : seen) {
        if (s.files.size() < 2) continue;
        Entry e{std::move(s.type), std::move(s.id), std::move(s.files), std::move(s.records), {}};
        std::vector<const RecordEntry*> records;
        std::vector<ByteSpan> data;
        scratches.resize(e.files.size());
        bool same = true;
        for (std::size_t k = 0; k < e.files.size(); ++k) {
            const esfile& f = *files[e.files[k]];
            records.push_back(&f.Records()[static_cast<std::size_t>(e.records[k])]);
            data.push_back(DataOf(f, e.records[k], scratches[k]));
            same = same && records[k]->Flags == records[0]->Flags &&
                   std::equal(data[k].begin(), data[k].end(), data[0].begin(), data[0].end());
        }
        if (!same) {
            e.differing = Differences(records, data);
            if (e.differing.empty()) e.differing.emplace_back("data"); // bytes outside any subrecord
        }
        out.push_back(std::move(e));
    }
    return out;
}

std::string Conflicts::Line(const Entry& e, const std::vector<std::string>& names) {
    std::string line = e.type + " " + e.id + ":";
    for (std::size_t k = 0; k < e.files.size(); ++k) line += (k ? ", " : " ") + names.at(e.files[k]);
    line += " winner " + names.at(e.files.back());
    if (e.Identical()) return line + " identical";
    line += " differs";
    for (std::size_t k = 0; k < e.differing.size(); ++k) line += (k ? ", " : " ") + e.differing[k];
    return line;
}

std::string Conflicts::Summary(const std::vector<Entry>& entries) {
    const auto differing = std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return !e.Identical(); });
    return "records in more than one file: " + std::to_string(entries.size()) +
           ", differing: " + std::to_string(differing);
}

} // namespace vellum
