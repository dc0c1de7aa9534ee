#include "index/Marks.h"
#include "index/RawSubrecords.h"
#include "index/RefIndexReader.h"
#include "index/ReferenceReader.h"
#include "index/References.h"
#include "index/TextMentions.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vellum {

namespace {

// A record's subrecords as unpacking would key and group them, read from the packed bytes
// when the record is packed, so that a scan touching thousands of cells unpacks none.
struct LayoutEntry {
    std::string_view name; // four characters as stored, or the unpacked key
    const std::string* type = nullptr; // template subrecord type
    std::size_t index = 0;
    bool repeated = false; // the name was met before: the key carries the position
    int group = 0;         // repeating group, 0 for the main part
    ByteSpan data;         // packed bytes, or empty when `decoded` is set
    const Subrecord* decoded = nullptr;

    std::string Key() const { return repeated ? std::string(name) + std::to_string(index) : std::string(name); }
};

class Layouts {
public:
    explicit Layouts(const Config& templ) : templ_(templ) {}

    std::vector<LayoutEntry> Of(esfile& file, int index) {
        std::vector<LayoutEntry> out;
        RecordEntry& r = file.Records()[static_cast<std::size_t>(index)];
        if (!r.Packed && r.SubRecords) {
            for (const auto& e : *r.SubRecords) {
                LayoutEntry l;
                l.name = e.key;
                l.type = &e.value.Name;
                l.group = e.value.GroupNumber;
                if (e.value.Packed) l.data = e.value.Data;
                else l.decoded = &e.value;
                out.push_back(l);
            }
            return out;
        }
        if (!r.Loaded) file.LoadRecord(index);
        std::vector<std::uint32_t> seen;
        int group = 0;
        const std::uint32_t rt = FourCC(r.Name);
        ForEachRawSubrecord(r.Data.span(), [&](const RawSubrecord& s) {
            const std::uint32_t sub = FourCC(s.Name);
            LayoutEntry e;
            e.name = s.Name;
            e.index = s.Index;
            e.repeated = std::find(seen.begin(), seen.end(), sub) != seen.end();
            if (!e.repeated) seen.push_back(sub);
            const Kind& kind = KindOf(r.Name, rt, s, sub);
            e.type = &kind.type;
            e.group = kind.start == kStarts ? ++group : kind.start == kReturns ? 0 : group;
            e.data = s.Data;
            out.push_back(e);
            return true;
        });
        return out;
    }

private:
    enum Start { kNone, kStarts, kReturns };
    struct Kind {
        std::string type;
        Start start = kNone;
    };
    static std::uint32_t FourCC(std::string_view s) {
        return s.size() < 4 ? 0 : cast::LoadU32(reinterpret_cast<const std::uint8_t*>(s.data())) | 0x20202020u;
    }
    // The template type depends on the size only through 12 and 24 and on being first: those
    // pick the bucket, so the codec's rule is asked once per bucket.
    const Kind& KindOf(std::string_view recordType, std::uint32_t rt, const RawSubrecord& s, std::uint32_t sub) {
        const std::uint64_t bucket = s.Data.size() == 12 ? 1 : s.Data.size() == 24 ? 2 : 0;
        const std::uint64_t key = (std::uint64_t(rt) << 32 | sub) * 8 + bucket * 2 + (s.Offset == 0 ? 1 : 0);
        auto it = kinds_.find(key);
        if (it != kinds_.end()) return it->second;
        Kind k;
        k.type = PropertyCodec::TemplateSubrecordType(recordType, s.Name, s.Data.size(), s.Offset == 0);
        if (const Variable* v = templ_.FindInstr(std::string(recordType) + "." + k.type, "STARTGROUP"))
            k.start = KeysEqual(TrimSpaces(v->Value), "MAINRECORD") ? kReturns : kStarts;
        return kinds_.emplace(key, std::move(k)).first->second;
    }

    const Config& templ_;
    std::unordered_map<std::uint64_t, Kind> kinds_;
};

// Keys and types of the subrecords of record `index` of template type `sub` whose reference
// equals `id`; with `wholeGroups`, every subrecord of their repeating groups as well.
std::vector<std::pair<std::string, std::string>> ReferringSubrecords(esfile& file, int index, std::string_view sub,
                                                                     std::string_view id, bool wholeGroups,
                                                                     ReferenceReader& reader, Layouts& layouts) {
    std::vector<std::pair<std::string, std::string>> out;
    const RecordEntry& r = file.Records()[static_cast<std::size_t>(index)];
    const ReferenceReader::Plan& plan = reader.PlanFor(r.Name, sub);
    if (!plan.Indexed) return out;
    const std::vector<LayoutEntry> layout = layouts.Of(file, index);
    std::vector<int> groups;
    std::vector<bool> hit(layout.size(), false);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const LayoutEntry& e = layout[i];
        if (!KeysEqual(*e.type, sub)) continue;
        std::string_view v = e.decoded ? reader.Value(plan, e.decoded->Properties) : ReferenceReader::Value(plan, e.data);
        if (!KeysEqual(v, id)) continue;
        hit[i] = true;
        if (wholeGroups && e.group > 0) groups.push_back(e.group);
    }
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (hit[i] || (layout[i].group > 0 && std::find(groups.begin(), groups.end(), layout[i].group) != groups.end()))
            out.emplace_back(layout[i].Key(), *layout[i].type);
    return out;
}

// Whether file `from` may name the records of file `owner`: its own, or those of a master.
bool Sees(esfile& from, const esfile& owner) {
    if (&from == &owner) return true;
    const std::string_view name = IndexTitle(owner);
    for (const auto& m : from.esMasterFiles())
        if (KeysEqual(m.value.Name, name)) return true;
    return false;
}

} // namespace

// State of one RecurseRelatives run.
struct esFiles::Scan {
    esFiles& files;
    Progress* progress;
    int operation;
    std::unordered_set<std::string> unpacked; // file key "." record key of records we unpacked
    std::vector<std::pair<std::string, int>> unpackOrder;

    void Report(const std::string& text) {
        files.ProgAction = text;
        if (progress) progress->Waiting(-1, text);
    }

    // Adds an entry with the fields every entry carries; nullptr when listed already.
    esRelative* Add(esfile& file, const std::string& fileKey, int index,
                    const std::string& subKey, int generation, int action, int kind) {
        const RecordEntry& r = file.Records()[static_cast<std::size_t>(index)];
        esRelative* e = files.relatives_.Add(r.ID, fileKey, r.Key, subKey);
        if (!e) return nullptr;
        e->RecordIndex = index;
        e->RecordType = r.Name;
        e->RecordPacked = r.Packed || unpacked.count(fileKey + "." + r.Key) != 0;
        e->Generation = generation;
        e->Action = action;
        e->RelativeType = kind;
        if (!subKey.empty() && r.SubRecords)
            if (const Subrecord* s = r.SubRecords->Find(subKey)) {
                e->SubrecordType = s->Name;
                e->SubrecordPacked = s->Packed;
            }
        return e;
    }

    void Unpack(esfile& file, const std::string& fileKey, int index) {
        RecordEntry& r = file.Records()[static_cast<std::size_t>(index)];
        if (!r.Packed) return;
        Report("Unpacking record " + r.Key);
        file.UnPackRecord(index);
        if (unpacked.insert(fileKey + "." + r.Key).second) unpackOrder.emplace_back(fileKey, index);
    }

    // Notes the entry `e` was found through, and says so.
    void Link(esRelative* e, const esRelative& through) {
        if (!e) return;
        e->RelatedFileKey = through.FileKey;
        e->RelatedRecordKey = through.RecordKey;
        e->RelatedSubRecordKey = through.SubRecordKey;
        if (progress) Report("Adding Descendant Entry " + e->RecordKey + "/" + e->SubRecordKey + " " + e->ID);
    }

    void FindDescendants(esfile& file, const std::string& fileKey, const esRelIDIndex& ids, int g, int action,
                         ReferenceReader& reader, Layouts& layouts);
    void FindMentions(esfile& file, const std::string& fileKey, const esRelIDIndex& ids, TextMentions& mentions,
                      int g, int action);

    void Restore() {
        const std::size_t total = unpackOrder.size();
        for (std::size_t n = 0; n < total; ++n) {
            if (n % 200 == 0)
                Report("Clearing subrecord headers for related record " + std::to_string(n + 1) +
                       " of " + std::to_string(total));
            auto& [fileKey, index] = unpackOrder[n];
            esfile* f = files.Find(fileKey);
            if (!f || f->LeaveRecordsUnpacked || index >= static_cast<int>(f->Records().size())) continue;
            if (n % 200 == 0) Report("Packing related record " + std::to_string(n + 1));
            f->PackSubHeaders(index);
            f->PackRecord(index);
        }
        unpackOrder.clear();
        unpacked.clear();
    }
};

// One generation of descendants in one file, from its reference index: every reference to an
// ID of `ids` where its lookup may name that record's type.
void esFiles::Scan::FindDescendants(esfile& file, const std::string& fileKey, const esRelIDIndex& ids, int g,
                                    int action, ReferenceReader& reader, Layouts& layouts) {
    const std::filesystem::path rdxPath = files.indexer_.CurrentRefIndex(file, nullptr);
    RefIndexReader rdx;
    if (rdxPath.empty() || !rdx.OpenRefIndex(rdxPath)) return;
    RefIndexView v;
    std::size_t n = 0;
    const auto& records = file.Records();
    // A record naming an ID many times has one index entry per reference; its subrecords are
    // all found at the first.
    std::unordered_set<std::string> walked;
    while (!rdx.bEndOfRefIndex && !files.Stop(progress)) {
        if (!rdx.NextRefIndexView(v)) break;
        if (++n % 1000 == 0) Report("Checking Reference Index Entry " + std::string(v.ID));
        const esRelIDEntry* hit = ids.Find(v.ID);
        if (!hit) continue;
        const esRelative target = files.relatives_.Item(static_cast<std::size_t>(hit->IndexNumber));
        const esTextLookup* tl = files.lookups_.Find(v.RecordType, v.SubrecordType, v.PropertyName);
        if (!tl || !tl->Targets(target.RecordType)) continue;
        if (v.RecordIndex <= 0 || v.RecordIndex >= static_cast<int>(records.size()) ||
            !KeysEqual(records[static_cast<std::size_t>(v.RecordIndex)].Name, v.RecordType))
            continue; // not this file's index
        const SubrecordLayout* layout = files.codec_.Layout(v.RecordType, v.SubrecordType);
        const int requirement = layout ? layout->Requirement : 0;
        const bool allowNull = layout && layout->AllowNull;
        // A list link is mended when its record goes (ChainLinks), not cleared.
        if (layout && layout->Chain != SubrecordLayout::Link::None) continue;
        // A record that cannot lose the subrecord, or that applies only where the record it
        // names exists (a response for one speaker), goes as a whole.
        if ((requirement == 2 && !allowNull) || (layout && layout->Filter)) {
            Link(Add(file, fileKey, v.RecordIndex, {}, g + 1, action, kDescendant), target);
            continue;
        }
        const int subAction = requirement == 2 ? kClear : action;
        const RecordEntry& referrer = records[static_cast<std::size_t>(v.RecordIndex)];
        if (files.relatives_.Exists(esRelative::MakeKey(fileKey, referrer.Key))) continue;
        if (!walked.insert(std::to_string(v.RecordIndex) + "|" + std::string(v.SubrecordType) + "|" + std::string(v.ID))
                 .second)
            continue;
        // Required in its repeating group (@REQUIREMENT 1): the group cannot stay without it
        // (a cell reference without its object), so the whole group goes.
        for (const auto& [sub, type] : ReferringSubrecords(file, v.RecordIndex, v.SubrecordType, v.ID,
                                                           requirement == 1 && !allowNull, reader, layouts)) {
            esRelative* e = Add(file, fileKey, v.RecordIndex, sub, g + 1, subAction, kDescendant);
            if (e && e->SubrecordType.empty()) e->SubrecordType = type;
            Link(e, target);
        }
    }
    rdx.CloseRefIndex();
}

// One generation of the places that name an ID in text: a condition of a filter takes its
// record along; script text is listed with no action, as nothing can be taken out of it.
void esFiles::Scan::FindMentions(esfile& file, const std::string& fileKey, const esRelIDIndex& ids,
                                 TextMentions& mentions, int g, int action) {
    for (const TextMention& m : mentions.Find(file)) {
        if (files.Stop(progress)) return;
        const esRelIDEntry* hit = ids.Find(m.ID);
        if (!hit) continue;
        const esRelative target = files.relatives_.Item(static_cast<std::size_t>(hit->IndexNumber));
        const bool whole = m.Kind == MentionKind::Condition && m.Filter;
        esRelative* e = Add(file, fileKey, m.RecordIndex, whole ? std::string() : m.SubrecordKey, g + 1,
                            whole ? action : kNoAction, kDescendant);
        if (!e) continue;
        e->Mention = m.Kind;
        if (e->SubrecordType.empty() && !whole) e->SubrecordType = m.SubrecordType;
        Link(e, target);
    }
}

std::pair<int, int> DefaultRelativeActions(int operation, bool safeCut) {
    switch (operation) {
    case kOpDelete: return {kNoAction, kDelete};
    case kOpCut: return {kCopy, safeCut ? kCut : kDelete};
    case kOpCopy: return {kCopy, kNoAction};
    default: return {kNoAction, kNoAction};
    }
}

void esFiles::RecurseRelatives(const std::string& fileKey, const std::string& recordKey,
                               const std::string& subRecordKey, int recurseType,
                               bool markedEntries, int operation, bool clear,
                               const std::string& recordType, Progress* progress) {
    BusyScope busy(*this);
    // Plain variables, not a structured binding: the lambdas below capture them, which
    // clang before 16 (the fuzz build) refuses for bindings.
    const std::pair<int, int> actions = DefaultRelativeActions(operation, settings_->SafeCutBehaviour);
    const int ancestorAction = actions.first, descendantAction = actions.second;
    if (clear) relatives_.clear();
    Scan scan{*this, progress, operation, {}, {}};
    esfile* file = Find(fileKey);

    if (file) {
        int step = 0;
        auto addSelected = [&](int index, const std::string& sub) {
            if (index <= 0 || index >= static_cast<int>(file->Records().size())) return;
            if (!sub.empty()) scan.Unpack(*file, fileKey, index);
            if (++step % 1000 == 1 || !progress)
                scan.Report((sub.empty() ? "Adding record " : "Adding subrecord ") +
                            file->Records()[static_cast<std::size_t>(index)].Key +
                            (sub.empty() ? "" : "/" + sub));
            scan.Add(*file, fileKey, index, sub, 0, operation, kAncestor);
        };
        auto indexOf = [&](const std::string& key) {
            const auto* e = file->esRecArrayIndex().Find(key);
            return e ? e->IndexNumber : -1;
        };
        if (markedEntries) {
            for (const auto& e : CheckedEntries(fileKey)) addSelected(indexOf(e.value.RecordKey), e.value.SubRecordKey);
        } else if (!recordKey.empty()) {
            addSelected(indexOf(recordKey), subRecordKey);
        } else if (const auto* cat = file->esRecArrayCatIndex().Item(recordType)) {
            for (const auto& e : cat->esRecArrayCatEntries) addSelected(e.value.IndexNumber, {});
        }

        // The selection's file and the open files that depend on it.
        std::vector<std::string> scope{fileKey};
        for (std::string& k : Dependents(fileKey)) scope.push_back(std::move(k));

        auto descendants = [&](int g) {
            ReferenceReader reader(templ_, lookups_);
            Layouts layouts(templ_);
            TextMentions mentions(codec_);
            for (;; ++g) {
                relatives_.RecordsAdded = false;
                relatives_.esRelIDIndex.clear();
                // Only a record that goes takes its ID with it; a subrecord entry leaves it.
                std::vector<std::size_t> generation;
                for (std::size_t i = 1; i <= relatives_.Count(); ++i) {
                    const esRelative& e = relatives_.Item(i);
                    if (i % 1000 == 0) scan.Report("Building current generation for descendant checking ");
                    const bool inScope = std::any_of(scope.begin(), scope.end(),
                                                     [&](const std::string& k) { return KeysEqual(k, e.FileKey); });
                    if (e.Generation == g && e.IsRecord() && !e.ID.empty() && inScope) generation.push_back(i);
                }
                if (generation.empty()) return;
                for (const std::string& key : scope) {
                    if (Stop(progress)) return;
                    esfile* f = Find(key);
                    if (!f) continue;
                    // The IDs this file may name: those of records of its own or of its masters.
                    esRelIDIndex ids;
                    mentions.Clear();
                    for (std::size_t i : generation) {
                        const esRelative& e = relatives_.Item(i);
                        esfile* owner = Find(e.FileKey);
                        if (!owner || !Sees(*f, *owner)) continue;
                        ids.Add(e.ID, static_cast<std::int32_t>(i));
                        mentions.Want(e.ID, e.RecordType);
                    }
                    if (ids.empty()) continue;
                    scan.FindDescendants(*f, key, ids, g, descendantAction, reader, layouts);
                    scan.FindMentions(*f, key, ids, mentions, g, descendantAction);
                }
                if (!relatives_.RecordsAdded || Stop(progress)) return;
            }
        };

        auto ancestors = [&](int g) {
            for (;; ++g) {
                relatives_.RecordsAdded = false;
                const std::size_t count = relatives_.Count();
                for (std::size_t i = 1; i <= count && !Stop(progress); ++i) {
                    const esRelative current = relatives_.Item(i);
                    if (current.Generation != g) continue;
                    esfile* f = Find(current.FileKey);
                    if (!f) continue;
                    const auto* pos = f->esRecArrayIndex().Find(current.RecordKey);
                    if (!pos) continue;
                    const int index = pos->IndexNumber;
                    auto addAncestor = [&](int at, const std::string& sub) {
                        esRelative* e = scan.Add(*f, current.FileKey, at, {}, g + 1, ancestorAction, kAncestor);
                        if (!e) return;
                        e->RelatedFileKey = current.FileKey;
                        e->RelatedRecordKey = current.RecordKey;
                        e->RelatedSubRecordKey = sub;
                    };
                    // A record that lives under a parent (a response under its topic) cannot
                    // go anywhere without it.
                    const RecordEntry& self = f->Records()[static_cast<std::size_t>(index)];
                    if (current.IsRecord() && !self.ParentKey.empty() && codec_.RecordInfo(self.Name).FollowsParent)
                        if (const auto* parent = f->esRecArrayIndex().Find(self.ParentKey.str()))
                            addAncestor(parent->IndexNumber, {});
                    const std::string type = self.Name;
                    if (!lookups_.estlRecordTypes().Exists(type)) continue;
                    scan.Unpack(*f, current.FileKey, index);
                    RecordEntry& r = f->Records()[static_cast<std::size_t>(index)];
                    if (!r.SubRecords) continue;
                    std::vector<std::string> subs;
                    for (const auto& e : *r.SubRecords) {
                        // A record does not rely on its neighbours in a list.
                        const SubrecordLayout* layout = codec_.Layout(type, e.value.Name);
                        if (layout && layout->Chain != SubrecordLayout::Link::None) continue;
                        if ((current.IsRecord() || KeysEqual(e.key, current.SubRecordKey)) &&
                            lookups_.estlRecordTypes().Find(type, e.value.Name))
                            subs.push_back(e.key);
                    }
                    for (const std::string& sub : subs) {
                        scan.Report("Checking: Record " + r.Key + " (" + r.ID + ")  / Subrecord " + sub);
                        if (!f->UnpackSubRecord(index, sub)) continue;
                        const Subrecord& s = f->Records()[static_cast<std::size_t>(index)].SubRecords->Item(sub);
                        for (const auto& pe : s.Properties) {
                            const esTextLookup* tl = lookups_.Find(type, s.Name, pe.value.Name);
                            if (!tl) continue;
                            const std::string value(ReferenceReader::CleanText(pe.value.Text()));
                            if (value.empty()) continue;
                            for (int at : ReferencedRecords(*f, *tl, value)) addAncestor(at, sub);
                        }
                    }
                }
                if (!relatives_.RecordsAdded || Stop(progress)) return;
            }
        };

        if (recurseType == kRecurseAncestors) {
            ancestors(0);
        } else if (recurseType == kRecurseDescendants) {
            descendants(0);
        } else if (recurseType == kRecurseBoth) {
            descendants(0);
            relatives_.RecordCount = static_cast<std::int32_t>(relatives_.Count());
            ancestors(0);
        }
        scan.Restore();
    }

    std::vector<std::string> covered;
    for (const auto& e : relatives_)
        if (!e.value.IsRecord() && relatives_.Exists(esRelative::MakeKey(e.value.FileKey, e.value.RecordKey)))
            covered.push_back(e.key);
    for (const std::string& key : covered) relatives_.Remove(key);
}

} // namespace vellum
