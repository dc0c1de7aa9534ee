#include "index/References.h"

#include "index/RefIndexReader.h"
#include "index/ReferenceIndexer.h"
#include "index/ReferenceReader.h"
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

std::vector<ReferenceRow> BrowseReferences(esfile& file, const ReferenceIndexer& indexer, int index,
                                           Progress* progress) {
    std::vector<ReferenceRow> rows;
    auto& records = file.Records();
    if (index < 0 || index >= static_cast<int>(records.size())) return rows;
    const std::string type = records[static_cast<std::size_t>(index)].Name;
    const std::string id = records[static_cast<std::size_t>(index)].ID;
    if (progress) progress->Waiting(-1, "Browsing References for " + type + " " + id);

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
                for (int at : ReferencedRecords(file, *tl, value)) {
                    const RecordEntry& target = records[static_cast<std::size_t>(at)];
                    rows.push_back({ReferenceRow::Ancestor, at, target.Name, target.ID, s.Name, pe.value.Name});
                }
            }
        }
        if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(index);
    }

    RefIndexReader rdx;
    if (id.empty() || !rdx.OpenRefIndex(indexer.RefIndexPath(file))) return rows;
    const std::string wanted = ToUpper(id);
    RefIndexView v;
    std::size_t n = 0;
    while (!rdx.bEndOfRefIndex && rdx.NextRefIndexView(v)) {
        if (progress && ++n % 1500 == 0)
            progress->Waiting(-1, "Scanning reference index entry " + std::string(v.ID));
        if (v.ID != wanted) continue;
        if (v.RecordIndex < 0 || v.RecordIndex >= static_cast<int>(records.size())) continue;
        const RecordEntry& r = records[static_cast<std::size_t>(v.RecordIndex)];
        rows.push_back({ReferenceRow::Descendant, v.RecordIndex, std::string(v.RecordType), r.ID,
                        std::string(v.SubrecordType), std::string(v.PropertyName)});
    }
    rdx.CloseRefIndex();
    return rows;
}

} // namespace vellum
