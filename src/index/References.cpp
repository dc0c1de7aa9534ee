#include "index/References.h"

#include "index/RefIndexReader.h"
#include "index/ReferenceIndexer.h"
#include "index/ReferenceReader.h"
#include "index/TextMentions.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/esTextLookups.h"

namespace vellum {

std::vector<int> ReferencedRecords(const esfile& file, const esTextLookup& lookup, std::string_view value) {
    std::vector<int> found;
    for (const auto& t : lookup.esLookupTypes) {
        const auto* cat = file.esRecArrayCatIndex().Item(t.key);
        const esRecIDEntry* e = cat ? cat->esRecIDIndex.Find(value) : nullptr;
        if (e && e->IndexNumber >= 0 && e->IndexNumber < static_cast<int>(file.Records().size()))
            found.push_back(e->IndexNumber);
    }
    return found;
}

int FindRecordByID(const esfile& file, std::string_view id) {
    if (id.empty()) return -1;
    for (const auto& c : file.esRecArrayCatIndex())
        if (const esRecIDEntry* e = c.value.esRecIDIndex.Find(id)) return e->IndexNumber;
    return -1;
}

int FindRecord(const esfile& file, std::string_view type, std::string_view id, std::string_view recordKey) {
    const auto& records = file.Records();
    int at = -1;
    if (!id.empty()) {
        const auto* cat = file.esRecArrayCatIndex().Item(type);
        const esRecIDEntry* e = cat ? cat->esRecIDIndex.Find(id) : nullptr;
        at = e ? e->IndexNumber : -1;
    } else if (const auto* pos = file.esRecArrayIndex().Find(recordKey)) {
        at = pos->IndexNumber;
    }
    if (at <= 0 || at >= static_cast<int>(records.size()) ||
        !KeysEqual(records[static_cast<std::size_t>(at)].Name, type))
        return -1;
    return at;
}

std::vector<ReferenceRow> BrowseReferences(esFiles& files, const std::string& fileKey, int index, Progress* progress) {
    std::vector<ReferenceRow> rows;
    esfile* found = files.Find(fileKey);
    if (!found) return rows;
    esfile& file = *found;
    auto& records = file.Records();
    if (index < 0 || index >= static_cast<int>(records.size())) return rows;
    const std::string type = records[static_cast<std::size_t>(index)].Name;
    const std::string id = records[static_cast<std::size_t>(index)].ID;
    if (progress) progress->Waiting(-1, "Browsing References for " + type + " " + id);
    auto row = [&](ReferenceRow::Kind kind, const std::string& key, esfile& f, int at, std::string sub,
                   std::string property) {
        const RecordEntry& r = f.Records()[static_cast<std::size_t>(at)];
        return ReferenceRow{kind, key, at, r.Key, r.Name, r.ID, std::move(sub), std::move(property), MentionKind::None};
    };

    esTextLookups lookups;
    BuildTextLookupList(lookups, file.Template());
    if (lookups.estlRecordTypes().Exists(type)) {
        const bool wasPacked = records[static_cast<std::size_t>(index)].Packed;
        file.UnPackRecord(index);
        std::vector<std::string> keys;
        for (const auto& e : *records[static_cast<std::size_t>(index)].SubRecords) keys.push_back(e.key);
        for (const std::string& key : keys) {
            if (!file.UnpackSubRecord(index, key)) continue;
            const Subrecord& s = records[static_cast<std::size_t>(index)].SubRecords->Item(key);
            for (const auto& pe : s.Properties) {
                const esTextLookup* tl = lookups.Find(type, s.Name, pe.value.Name);
                if (!tl) continue;
                const std::string value(ReferenceReader::CleanText(pe.value.Text()));
                if (value.empty()) continue;
                for (int at : ReferencedRecords(file, *tl, value))
                    rows.push_back(row(ReferenceRow::Ancestor, fileKey, file, at, s.Name, pe.value.Name));
            }
        }
        if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(index);
    }
    if (id.empty()) return rows;

    std::vector<std::string> scope = files.Dependents(fileKey);
    scope.insert(scope.begin(), fileKey);
    const std::string wanted = ToUpper(id);
    TextMentions mentions(file.Codec());
    mentions.Want(id, type);
    for (const std::string& key : scope) {
        esfile& f = files.Item(key);
        RefIndexReader rdx;
        const std::filesystem::path path = files.Indexer().CurrentRefIndex(f, nullptr);
        if (!path.empty() && rdx.OpenRefIndex(path)) {
            RefIndexView v;
            std::size_t n = 0;
            while (!rdx.bEndOfRefIndex && rdx.NextRefIndexView(v)) {
                if (progress && ++n % 1500 == 0)
                    progress->Waiting(-1, "Scanning reference index entry " + std::string(v.ID));
                if (v.ID != wanted) continue;
                if (v.RecordIndex <= 0 || v.RecordIndex >= static_cast<int>(f.Records().size())) continue;
                const esTextLookup* tl = lookups.Find(v.RecordType, v.SubrecordType, v.PropertyName);
                if (tl && !tl->Targets(type)) continue; // names a record of another type
                rows.push_back(row(ReferenceRow::Descendant, key, f, v.RecordIndex, std::string(v.SubrecordType),
                                   std::string(v.PropertyName)));
            }
            rdx.CloseRefIndex();
        }
        for (const TextMention& m : mentions.Find(f)) {
            ReferenceRow r = row(ReferenceRow::Mention, key, f, m.RecordIndex, m.SubrecordType, m.PropertyName);
            r.How = m.Kind;
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

} // namespace vellum
