#include "index/ChainLinks.h"
#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "index/TextMentions.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/SubrecordCounts.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

// One CopyMarked run: source, destination and the paste options. The rules are written down
// in docs/paste-rules.md.
class esFiles::Transfer {
public:
    Transfer(esfile& src, esfile& dst, Progress* progress, bool merge)
        : src_(src), dst_(dst), progress_(progress), merge_(merge), links_(dst),
          existing_(static_cast<int>(dst.Records().size())) {}

    void Report(const std::string& text) {
        if (progress_) progress_->Waiting(-1, text);
    }

    // Subrecord types a record holds once: never added a second time by a merge.
    bool Excluded(std::string_view recordType, std::string_view subType) const {
        std::string group = std::string(recordType) + "." + std::string(subType);
        const Variable* req = dst_.Template().FindInstr(group, "REQUIREMENT");
        return (req && ValInt(req->Value) == 2) || dst_.Template().InstrExists(group, "Unique");
    }

    // The record of `type` with `id` in the destination, -1 when none.
    int FindByID(std::string_view type, const std::string& id) {
        if (id.empty()) return -1;
        const auto* cat = dst_.esRecArrayCatIndex().Item(type);
        const esRecIDEntry* e = cat ? cat->esRecIDIndex.Find(id) : nullptr;
        if (!e || e->IndexNumber <= 0 || e->IndexNumber >= static_cast<int>(dst_.Records().size()))
            return -1;
        return KeysEqual(dst_.Records()[static_cast<std::size_t>(e->IndexNumber)].Name, type)
                   ? e->IndexNumber
                   : -1;
    }

    // A packed copy of a source subrecord, its current contents encoded, marks cleared.
    Subrecord CopyOf(int index, const std::string& key) {
        RecordEntry& r = src_.Records()[static_cast<std::size_t>(index)];
        Subrecord& s = r.SubRecords->Item(key);
        if (!s.Packed) src_.PackSubRecord(index, key);
        Subrecord c;
        c.Name = s.Name;
        c.Data = s.Data;
        c.Size = static_cast<std::int32_t>(s.Data.size());
        c.Requirement = s.Requirement;
        c.Packed = true;
        return c;
    }

    Subrecords& UnpackedSubrecords(esfile& f, int index) {
        RecordEntry& r = f.Records()[static_cast<std::size_t>(index)];
        if (r.Packed || !r.SubRecords) f.UnPackRecord(index);
        if (!r.SubRecords) r.SubRecords = std::make_shared<Subrecords>();
        return *r.SubRecords;
    }

    static void Append(Subrecords& subs, Subrecord s) {
        std::string base = s.Name.substr(0, 4);
        std::string key = base;
        for (std::size_t n = subs.Count(); subs.Exists(key); ++n) key = base + std::to_string(n);
        Subrecord* added = subs.Add(key);
        *added = std::move(s);
        added->Key = key;
    }

    // Puts source subrecords into destination record `to`: types held once replace the
    // destination's subrecord of that type when `replaceOnce`, else they are left out.
    void PutInto(int to, int from, const std::vector<std::string>& keys, bool replaceOnce) {
        Subrecords& subs = UnpackedSubrecords(dst_, to);
        const std::string type = dst_.Records()[static_cast<std::size_t>(to)].Name;
        for (const std::string& key : keys) {
            Subrecord c = CopyOf(from, key);
            Report("Copying Subrecord " + src_.Records()[static_cast<std::size_t>(from)].Key + "/" +
                   key + "(" + c.Name + ")");
            if (Excluded(type, c.Name)) {
                if (!replaceOnce) continue;
                Subrecord* same = nullptr;
                for (auto& e : subs)
                    if (KeysEqual(e.value.Name, c.Name)) {
                        same = &e.value;
                        break;
                    }
                if (same) {
                    std::string keep = same->Key;
                    *same = std::move(c);
                    same->Key = keep;
                    continue;
                }
            }
            Append(subs, std::move(c));
        }
        UpdateSubrecordCounts(dst_.Codec(), type, subs);
        if (!dst_.LeaveRecordsUnpacked) dst_.PackRecord(to);
    }

    std::vector<std::string> AllKeys(int index) {
        std::vector<std::string> keys;
        for (const auto& e : UnpackedSubrecords(src_, index)) keys.push_back(e.key);
        return keys;
    }
    std::vector<std::string> MarkedKeys(int index) {
        std::vector<std::string> keys;
        const RecordEntry& r = src_.Records()[static_cast<std::size_t>(index)];
        if (r.SubRecords)
            for (const auto& e : *r.SubRecords)
                if (e.value.CopyMark) keys.push_back(e.key);
        return keys;
    }

    // A new destination record holding `entry`'s contents; returns its position.
    int AddNew(const RecordEntry& entry) {
        const int at = dst_.AddRecord(entry.Name);
        RecordEntry& d = dst_.Records()[static_cast<std::size_t>(at)];
        RecordEntry n = entry;
        n.Key = d.Key;
        n.ParentKey.clear();
        n.ParentID.clear();
        n.Children.clear();
        n.SubRecords.reset();
        n.SubHeaders.reset();
        ClearMarks(n);
        n.Partial = false;
        dst_.ReplaceRecord(at, n);
        if (auto* cat = dst_.esRecArrayCatIndex().Item(entry.Name))
            cat->esRecIDIndex.Add(entry.ID, at, entry.Description, entry.Name);
        return at;
    }

    static void ClearMarks(RecordEntry& r) {
        r.Deleted = false;
        r.CopyLevel = 0;
        r.CopyMark = 0;
    }

    // Destination record `child`, new and without a parent, joins `parent`: after its last
    // child, in its list when the type keeps one, unless the whole family came along as it
    // was (a parent new here with every child of its source).
    void Attach(int child, int parent, bool keepLinks) {
        RecordEntry& copied = dst_.Records()[static_cast<std::size_t>(child)];
        if (!copied.ParentKey.empty()) return;
        SetParentRecord(dst_, child, dst_.Records()[static_cast<std::size_t>(parent)].Key);
        auto& kids = dst_.Records()[static_cast<std::size_t>(parent)].Children;
        if (std::find(kids.begin(), kids.end(), copied.Key) == kids.end()) kids.push_back(copied.Key);
        if (!keepLinks) links_.LinkAsLastChild(child);
    }

    // The destination's record for the parent of source record `index` when the record lives
    // under a parent that is not copied itself: found by its ID, or a copy of the parent alone.
    // -1 when the record has no parent.
    int ParentFor(int index) {
        const RecordEntry& r = src_.Records()[static_cast<std::size_t>(index)];
        if (r.ParentKey.empty() || !src_.Codec().RecordInfo(r.Name).FollowsParent) return -1;
        const auto* pos = src_.esRecArrayIndex().Find(r.ParentKey.str());
        if (!pos) return -1;
        const RecordEntry& parent = src_.Records()[static_cast<std::size_t>(pos->IndexNumber)];
        const int at = FindByID(parent.Name, parent.ID);
        if (at >= 0) return at;
        src_.PackRecord(pos->IndexNumber);
        Report("Copying Record " + parent.Key + " ");
        return AddNew(src_.Records()[static_cast<std::size_t>(pos->IndexNumber)]);
    }

    // A whole record by the replace or merge rule; returns the destination position.
    int CopyWhole(int index) {
        src_.PackRecord(index);
        const RecordEntry entry = src_.Records()[static_cast<std::size_t>(index)];
        Report("Copying Record " + entry.Key + " ");
        int at = FindByID(entry.Name, entry.ID);
        if (at < 0) {
            at = AddNew(entry);
        } else if (merge_ || entry.Partial) {
            // A record the clipboard holds in part joins the destination's record instead of
            // taking the place of all of it.
            PutInto(at, index, AllKeys(index), entry.Partial && !merge_);
            src_.PackRecord(index);
        } else {
            RecordEntry& d = dst_.Records()[static_cast<std::size_t>(at)];
            RecordEntry n = entry;
            n.Key = d.Key;
            n.ParentKey = d.ParentKey;
            n.ParentID = d.ParentID;
            n.Children = d.Children;
            n.SubRecords.reset();
            n.SubHeaders.reset();
            // Its place in a list is the destination's, whatever the source's links say.
            const bool chained = links_.Chained(entry.Name);
            const std::string previous = chained ? links_.Get(at, ChainLinks::Link::Previous) : std::string();
            const std::string next = chained ? links_.Get(at, ChainLinks::Link::Next) : std::string();
            ClearMarks(n);
            n.Partial = false;
            dst_.ReplaceRecord(at, n);
            if (auto* cat = dst_.esRecArrayCatIndex().Item(entry.Name))
                if (esRecIDEntry* id = cat->esRecIDIndex.Find(entry.ID)) id->Description = entry.Description;
            if (chained) {
                links_.Set(at, ChainLinks::Link::Previous, previous);
                links_.Set(at, ChainLinks::Link::Next, next);
            }
        }

        const std::string child = ChildTypeOf(src_, entry.Name);
        if (child.empty()) return at;
        // A parent copied as itself brings every child; one brought along for some of its
        // children (a topic for a response) brings only those.
        std::vector<int> kids;
        bool anyMarked = false;
        for (const std::string& key : entry.Children) {
            const auto* pos = src_.esRecArrayIndex().Find(key);
            if (!pos || !KeysEqual(src_.Records()[static_cast<std::size_t>(pos->IndexNumber)].Name, child)) continue;
            kids.push_back(pos->IndexNumber);
            anyMarked = anyMarked || src_.Records()[static_cast<std::size_t>(pos->IndexNumber)].CopyLevel > 0;
        }
        const bool keepLinks = at >= existing_ && !anyMarked;
        for (int k : kids) {
            if (anyMarked && src_.Records()[static_cast<std::size_t>(k)].CopyLevel <= 0) continue;
            const int c = src_.Records()[static_cast<std::size_t>(k)].CopyLevel == 1 ? CopyPartial(k) : CopyWhole(k);
            UnMarkCopy(src_, k);
            Attach(c, at, keepLinks);
        }
        return at;
    }

    // Marked subrecords of a record: into the destination's record of that ID, or into a new
    // record that also takes the source's required subrecords, so that it has its ID.
    int CopyPartial(int index) {
        const RecordEntry& r = src_.Records()[static_cast<std::size_t>(index)];
        Report("Copying Partial Record " + r.Key + " ");
        const std::vector<std::string> marked = MarkedKeys(index);
        int at = FindByID(r.Name, r.ID);
        if (at >= 0) {
            PutInto(at, index, marked, true);
            return at;
        }
        auto subs = std::make_shared<Subrecords>();
        for (const auto& e : *r.SubRecords) {
            const bool required = e.value.Requirement == 2 || Excluded(r.Name, e.value.Name);
            if (!e.value.CopyMark && !required) continue;
            Append(*subs, CopyOf(index, e.key));
        }
        RecordEntry shell = src_.Records()[static_cast<std::size_t>(index)];
        at = AddNew(shell);
        RecordEntry& d = dst_.Records()[static_cast<std::size_t>(at)];
        UpdateSubrecordCounts(dst_.Codec(), d.Name, *subs);
        d.SubRecords = std::move(subs);
        d.Packed = false;
        d.Loaded = true;
        d.Partial = dst_.Clipboard; // pasted later, it joins the record it came from
        dst_.PackRecord(at);
        return at;
    }

    // A record marked in the source: whole or in part, under the destination's twin of its
    // parent when it lives under one.
    void Copy(int index) {
        const int parent = ParentFor(index);
        const bool whole = src_.Records()[static_cast<std::size_t>(index)].CopyLevel >= 2;
        const int at = whole ? CopyWhole(index) : CopyPartial(index);
        if (parent >= 0) Attach(at, parent, false);
    }

    esfile& src_;
    esfile& dst_;
    Progress* progress_;
    bool merge_;
    ChainLinks links_;
    int existing_; // destination records before the copy: those at or past it are new
};

void esFiles::CopyMarked(const std::string& sourceFileKey, const std::string& destFileKey,
                         bool /*flag*/, Progress* progress, bool replaceClipboard,
                         bool mergeRecords, const std::string& destRecordKey, int pasteMergeType) {
    HistoryScope step(history_, "Copy {records}", {sourceFileKey, destFileKey});
    esfile* src = Find(sourceFileKey);
    esfile* dst = Find(destFileKey);
    if (!src || !dst || src == dst) return;
    if (replaceClipboard && dst->Clipboard) dst->ClearRecords(progress);
    dst->esKeys().clear();

    Transfer t(*src, *dst, progress, mergeRecords);
    int into = -1;
    if (!destRecordKey.empty()) {
        const auto* pos = dst->esRecArrayIndex().Find(destRecordKey);
        if (!pos) return;
        into = pos->IndexNumber;
    }
    auto& records = src->Records();
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].CopyLevel <= 0) continue;
        t.Report("Checking Record " + records[i].Key + " ");
        const int index = static_cast<int>(i);
        if (records[i].Name == "TES3" || records[i].Name.empty()) continue; // a header is never copied
        if (into >= 0) {
            const std::string& intoType = dst->Records()[static_cast<std::size_t>(into)].Name;
            if (pasteMergeType == 1 && !KeysEqual(records[i].Name, intoType)) continue;
            t.PutInto(into, index, records[i].CopyLevel >= 2 ? t.AllKeys(index) : t.MarkedKeys(index), false);
        } else if (records[i].CopyLevel >= 2 || records[i].SubRecords) {
            t.Copy(index);
        }
    }

    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].CopyLevel > 0 || records[i].CopyMark) UnMarkCopy(*src, static_cast<int>(i));

    dst->Changed = true;
    dst->UpdateFileHeader();
    dst->RebuildIndices(progress);
    indexer_.BuildReferenceIndex(*dst, progress);
    esCheckedEntries& ticked = CheckedEntries(destFileKey);
    std::vector<std::string> stale;
    for (const auto& e : ticked) {
        if (progress) progress->Waiting(-1, "Updating Marked Entries " + e.key);
        if (!dst->esRecArrayIndex().Exists(e.value.RecordKey)) stale.push_back(e.key);
    }
    for (const std::string& key : stale) ticked.Remove(key);
}

void esFiles::Paste(const std::string& destFileKey, PasteMode mode, Progress* progress,
                    const std::string& destRecordKey, int pasteMergeType) {
    // The clipboard in use, not the file an earlier clipboard was saved as.
    HistoryScope step(history_,
                      std::string(mode == PasteMode::Replace ? "Paste" : mode == PasteMode::Merge ? "Paste Merge" : "Paste Into") +
                          " {records}",
                      {destFileKey});
    esfile& clip = ClipboardFile();
    const std::string clipKey = ClipboardKey();
    esCheckedEntries& ticked = CheckedEntries(clipKey);
    bool any = false;
    for (const auto& e : ticked) {
        const auto* pos = clip.esRecArrayIndex().Find(e.value.RecordKey);
        if (!pos) continue;
        MarkForCopy(clip, pos->IndexNumber, e.value.SubRecordKey);
        any = true;
    }
    if (!any)
        for (std::size_t i = 1; i < clip.Records().size(); ++i)
            if (!clip.Records()[i].Name.empty()) MarkForCopy(clip, static_cast<int>(i));
    const bool into = mode == PasteMode::Into && !destRecordKey.empty();
    CopyMarked(clipKey, destFileKey, false, progress, false, mode != PasteMode::Replace,
               into ? destRecordKey : std::string{}, pasteMergeType);
}

void esFiles::DeleteMarked(const std::string& fileKey, Progress* progress) {
    HistoryScope step(history_, "Delete {records}", {fileKey});
    if (esfile* f = Find(fileKey)) vellum::DeleteMarked(*f, progress, &indexer_, &CheckedEntries(fileKey));
}

void esFiles::ProcessRelatives(const std::string& destFileKey, Progress* progress, bool flag) {
    const bool cut = std::any_of(relatives_.begin(), relatives_.end(), [](const auto& e) { return e.value.Action == kCut; });
    HistoryScope step(history_, cut ? "Cut {records}" : "Delete {records}");
    const std::string dest = destFileKey.empty() ? ClipboardKey() : destFileKey;
    unchanged_.clear();
    std::vector<std::string> touched; // files with entries, in the order met
    std::size_t n = 0;
    for (auto& e : relatives_) {
        esRelative& r = e.value;
        if (progress && n++ % 51 == 0)
            progress->Waiting(-1, "Tagging Record " + r.RecordKey + " " + r.ID);
        esfile* f = Find(r.FileKey);
        if (!f || !f->esRecArrayIndex().Exists(r.RecordKey)) continue;
        if (std::none_of(touched.begin(), touched.end(), [&](const std::string& k) { return KeysEqual(k, r.FileKey); }))
            touched.push_back(r.FileKey);
        const std::string& sub = r.SubRecordKey;
        switch (r.Action) {
        case kDelete: MarkAsDeleted(*f, r.RecordKey, sub); break;
        case kCut:
            MarkAsDeleted(*f, r.RecordKey, sub);
            MarkForCopy(*f, r.RecordKey, sub);
            break;
        case kCopy: MarkForCopy(*f, r.RecordKey, sub); break;
        case kClear:
            if (sub.empty()) MarkAsDeleted(*f, r.RecordKey);
            else f->ClearSubrecordLookup(r.RecordKey, sub);
            break;
        default: break;
        }
    }
    // A delete marks nothing for copying: it must not empty the clipboard.
    bool replace = Settings().ReplaceClipboard;
    for (const std::string& key : touched) {
        esfile& source = Item(key);
        const bool anyCopy = std::any_of(source.Records().begin(), source.Records().end(),
                                         [](const RecordEntry& r) { return r.CopyLevel > 0; });
        if (!anyCopy || source.Clipboard || !Exists(dest) || KeysEqual(key, dest)) continue;
        CopyMarked(key, dest, flag, progress, replace, false, {}, -1);
        replace = false;
    }
    for (const std::string& key : touched) DeleteMarked(key, progress);
    if (!LeaveRecordsUnpacked())
        for (const auto& e : relatives_) {
            const esRelative& r = e.value;
            if (!r.IsRecord() || r.Action == kDelete || r.Action == kCut || !r.RecordPacked) continue;
            esfile* f = Find(r.FileKey);
            const auto* pos = f ? f->esRecArrayIndex().Find(r.RecordKey) : nullptr;
            if (pos) f->PackRecord(pos->IndexNumber);
        }
    NoteUnchanged();
    if (progress) progress->DoneWaiting();
}

std::vector<UnchangedPlace> esFiles::PlacesLeftBy(const esRelative& r) {
    std::vector<UnchangedPlace> out;
    if (r.RelativeType != kDescendant || r.Generation == 0 || r.Action != kNoAction) return out;
    esfile* f = Find(r.FileKey);
    const auto* pos = f ? f->esRecArrayIndex().Find(r.RecordKey) : nullptr;
    if (!pos) return out;
    const std::string title(IndexTitle(*f));
    out.push_back({r.FileKey, title, r.RecordKey, r.ID, r.SubRecordKey, UnchangedReason(r.Mention)});
    const esRelative* named = relatives_.Find(esRelative::MakeKey(r.RelatedFileKey, r.RelatedRecordKey));
    if (r.Mention == MentionKind::ScriptSource && named) {
        const std::string compiled = TextMentions::CompiledKey(*f, pos->IndexNumber, r.SubrecordType, named->ID);
        if (!compiled.empty()) out.push_back({r.FileKey, title, r.RecordKey, r.ID, compiled, kUnchangedCompiled});
    }
    return out;
}

// Descendants left as they were although the record they name is gone: each still names it.
void esFiles::NoteUnchanged() {
    for (const auto& e : relatives_) {
        const esRelative& r = e.value;
        esfile* owner = Find(r.RelatedFileKey);
        if (owner && owner->esRecArrayIndex().Exists(r.RelatedRecordKey)) continue; // what it names stayed
        for (UnchangedPlace& place : PlacesLeftBy(r)) unchanged_.push_back(std::move(place));
    }
}

} // namespace vellum
