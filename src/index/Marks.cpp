#include "index/Marks.h"

#include "index/ChainLinks.h"
#include "index/esCheckedEntries.h"
#include "model/Progress.h"
#include "model/Text.h"
#include "model/ReferenceIndexBuilder.h"
#include "model/SubrecordCounts.h"
#include "model/esfile.h"
#include "template/Config.h"

#include <unordered_set>

namespace vellum {

namespace {

Subrecord* SubrecordOf(esfile& file, RecordRef record, std::string_view subrecordKey) {
    RecordEntry& r = file.Rec(record);
    if (r.Packed || !r.SubRecords) file.UnPackRecord(record);
    return r.SubRecords ? r.SubRecords->Find(subrecordKey) : nullptr;
}

// Reports every `step` calls only, so a progress window never slows a large delete.
class Throttle {
public:
    Throttle(Progress* progress, int step) : progress_(progress), step_(step) {}
    template <class Text>
    void operator()(Text text) {
        if (progress_ && ++count_ >= step_) {
            count_ = 0;
            progress_->Waiting(-1, text());
        }
    }

private:
    Progress* progress_;
    int step_;
    int count_ = 0;
};

} // namespace

std::string ChildTypeOf(const esfile& file, std::string_view recordType) {
    const Variable* v = file.Template().FindInstr(recordType, "PrecedesChildren");
    return v ? std::string(TrimSpaces(v->Value1())) : std::string{};
}

void MarkAsDeleted(esfile& file, RecordRef record, std::string_view subrecordKey) {
    if (!subrecordKey.empty()) {
        if (Subrecord* s = SubrecordOf(file, record, subrecordKey)) s->Deleted = true;
        return;
    }
    RecordEntry& r = file.Rec(record);
    r.Deleted = true;
    const std::string child = ChildTypeOf(file, r.Name);
    if (child.empty()) return;
    for (const std::string& key : r.Children) {
        if (!file.esRecArrayIndex().Exists(key)) continue;
        RecordEntry& c = file.Rec(key);
        if (KeysEqual(c.Name, child)) c.Deleted = true;
    }
}

void MarkForCopy(esfile& file, RecordRef record, std::string_view subrecordKey) {
    if (subrecordKey.empty()) {
        RecordEntry& r = file.Rec(record);
        r.CopyLevel = 2;
        r.CopyMark = 1;
        return;
    }
    Subrecord* s = SubrecordOf(file, record, subrecordKey);
    RecordEntry& r = file.Rec(record);
    if (r.CopyLevel < 1) r.CopyLevel = 1;
    if (s) {
        s->CopyMark = true;
        s->CopyLevel = 1;
    }
}

void UnMarkCopy(esfile& file, RecordRef record, std::string_view subrecordKey) {
    RecordEntry& r = file.Rec(record);
    if (!subrecordKey.empty()) {
        if (r.SubRecords)
            if (Subrecord* s = r.SubRecords->Find(subrecordKey)) s->CopyMark = false, s->CopyLevel = 0;
        return;
    }
    r.CopyLevel = 0;
    r.CopyMark = 0;
    if (r.SubRecords)
        for (auto& e : *r.SubRecords) e.value.CopyMark = false, e.value.CopyLevel = 0;
}

void SetRecordCopyLevel(esfile& file, RecordRef record, int level) { file.Rec(record).CopyLevel = level; }

void SetParentRecord(esfile& file, RecordRef record, const std::string& parentKey) {
    RecordEntry& r = file.Rec(record);
    r.ParentKey = parentKey;
    r.ParentID = file.esRecArrayIndex().Exists(parentKey) ? file.Rec(parentKey).ID : std::string{};
}

void DropStaleTicks(const esfile& file, esCheckedEntries& ticked) {
    std::vector<std::string> stale;
    for (const auto& e : ticked) {
        const esCheckedEntry& c = e.value;
        const auto* pos = file.esRecArrayIndex().Find(c.RecordKey);
        bool alive = pos != nullptr;
        if (alive && !c.SubRecordKey.empty()) {
            const RecordEntry& r = file.Records()[static_cast<std::size_t>(pos->IndexNumber)];
            alive = r.Packed || (r.SubRecords && r.SubRecords->Exists(c.SubRecordKey));
        }
        if (!alive) stale.push_back(e.key);
    }
    for (const std::string& key : stale) ticked.Remove(key);
}

void DeleteMarked(esfile& file, Progress* progress, ReferenceIndexBuilder* indexer,
                  esCheckedEntries* ticked) {
    auto& records = file.Records();
    file.esKeys().clear();
    Throttle report(progress, 500);
    bool changed = false;

    for (std::size_t i = 0; i < records.size(); ++i) {
        RecordEntry& r = records[i];
        report([&] { return "Scanning Record " + r.Key + " "; });
        if (i == 0) r.Deleted = false;
        if (r.Deleted || !r.SubRecords) continue;
        std::vector<std::string> gone;
        for (const auto& e : *r.SubRecords)
            if (e.value.Deleted) gone.push_back(e.key);
        if (gone.empty()) continue;
        if (r.Packed) file.UnPackRecord(static_cast<int>(i)); // kept subrecords: make them the data
        for (const std::string& key : gone) r.SubRecords->Remove(key);
        UpdateSubrecordCounts(file.Codec(), r.Name, *r.SubRecords);
        if (!file.LeaveRecordsUnpacked) file.PackRecord(static_cast<int>(i));
        changed = true;
    }
    if (ChainLinks(file).RelinkAroundDeleted()) changed = true;

    for (std::size_t i = 0; i < records.size(); ++i) {
        RecordEntry& r = records[i];
        if (!r.Deleted) continue;
        report([&] { return "Adding Record " + r.Key; });
        file.esKeys().Add(r.Key, r.ID, static_cast<std::int32_t>(i));
    }

    if (!file.esKeys().empty()) {
        changed = true;
        std::size_t out = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (records[i].Deleted) {
                report([&] { return "Deleting Record " + records[i].Key; });
                continue;
            }
            if (out != i) {
                report([&] { return "Re-indexing Record " + records[i].Key; });
                records[out] = std::move(records[i]);
            }
            ++out;
        }
        if (progress) progress->Waiting(-1, "Resizing Record Collection...");
        records.resize(out);
        file.SetLastIndex(static_cast<int>(out) - 1);
        file.RebuildIndices(progress);
    }

    if (progress) progress->Waiting(-1, "Clearing Checked Entries...");
    if (ticked) DropStaleTicks(file, *ticked);

    if (changed) {
        file.Changed = true;
        file.UpdateFileHeader();
        for (RecordEntry& r : records) {
            if (r.Children.empty()) continue;
            std::erase_if(r.Children, [&](const std::string& k) { return !file.esRecArrayIndex().Exists(k); });
        }
    }
    if (indexer) indexer->BuildReferenceIndex(file, progress);
}

} // namespace vellum
