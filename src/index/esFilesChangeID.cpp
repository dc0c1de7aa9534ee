#include "index/HistoryScope.h"
#include "index/RawSubrecords.h"
#include "index/ReferenceReader.h"
#include "index/TextMentions.h"
#include "index/esFiles.h"
#include "model/esfile.h"

#include <unordered_map>

namespace vellum {

void esFiles::ChangeIDReferences(const std::string& fileKey, const esCheckedEntries& idList, bool checkAllFiles,
                                 esCallbackStringValue* cbsv, bool rewriteScriptSource) {
    std::vector<std::string> keys;
    if (checkAllFiles) {
        for (const auto& e : files_) keys.push_back(e.key);
    } else if (Find(fileKey)) {
        keys = Dependents(fileKey);
        keys.insert(keys.begin(), fileKey);
    }
    HistoryScope step(history_, "Change ID", keys);
    BusyScope busy(*this);
    unchanged_.clear();
    for (const std::string& key : keys) {
        if (cancel_) break;
        ChangeIDsInFile(key, idList, checkAllFiles || keys.size() > 1, cbsv, rewriteScriptSource);
    }
}

// Compares IDs without letter case, like every ID look-up of the program, and changes a
// reference only where its lookup may name the type of the record whose ID changed, so that a
// record of another type that happens to share the old ID keeps its references.
void esFiles::ChangeIDsInFile(const std::string& fileKey, const esCheckedEntries& idList, bool showFile,
                              esCallbackStringValue* cbsv, bool rewriteScriptSource) {
    esfile* found = Find(fileKey);
    if (!found) return;
    esfile& file = *found;
    struct Change {
        std::string oldID, newID, recordType;
    };
    std::unordered_map<std::string, std::vector<Change>, FoldedHash, FoldedEqual> changes;
    TextMentions mentions(codec_);
    for (const auto& e : idList) {
        const esCheckedEntry& c = e.value;
        if (c.OldID.empty() || c.OldID == c.NewID) continue;
        std::string type;
        if (esfile* owner = Find(c.FileKey))
            if (const auto* pos = owner->esRecArrayIndex().Find(c.RecordKey))
                type = owner->Records()[static_cast<std::size_t>(pos->IndexNumber)].Name;
        changes[c.OldID].push_back({c.OldID, c.NewID, type});
        mentions.Want(c.OldID, type);
    }
    if (changes.empty()) return;

    ReferenceReader reader(templ_, lookups_);
    bool anyChange = false;
    const std::string title(IndexTitle(file));
    auto& records = file.Records();
    auto report = [&](std::size_t i, const std::string& key, const std::string& text, const std::string& value) {
        if (cbsv) cbsv->CallBack(title + "/" + records[i].Key + " (" + records[i].ID + ")/" + key + "  " + text, value);
    };
    for (std::size_t i = 1; i < records.size() && !cancel_; ++i) {
        const int index = static_cast<int>(i);
        const std::string type = records[i].Name;
        if (!reader.HasLookups(type)) continue;
        // Only records that hold an old ID somewhere are unpacked.
        bool candidate = !records[i].Packed;
        if (!candidate) {
            if (!records[i].Loaded) file.LoadRecord(index);
            ForEachRawSubrecord(records[i].Data.span(), [&](const RawSubrecord& s) {
                std::string_view sub = (s.Offset != 0 && s.Name == "NAME" && type == "CELL") ? "NAME_NEXT" : s.Name;
                const ReferenceReader::Plan& plan = reader.PlanFor(type, sub);
                if (plan.Indexed && changes.count(ReferenceReader::Value(plan, s.Data))) candidate = true;
                return !candidate;
            });
        }
        if (!candidate) continue;
        const bool wasPacked = records[i].Packed;
        file.UnPackRecord(index);
        std::vector<std::string> keys;
        for (const auto& e : *records[i].SubRecords)
            if (lookups_.estlRecordTypes().Find(type, e.value.Name)) keys.push_back(e.key);
        bool changed = false;
        for (const std::string& key : keys) {
            ProgAction = showFile ? "Checking: File " + title + " / Record " + records[i].Key + " (" +
                                        records[i].ID + ")  / Subrecord " + key
                                  : "Checking: Record " + records[i].Key + " (" + records[i].ID +
                                        ")  / Subrecord " + key;
            if (!file.UnpackSubRecord(index, key)) continue;
            Subrecord& s = records[i].SubRecords->Item(key);
            bool subChanged = false;
            for (auto& pe : s.Properties) {
                Property& p = pe.value;
                const esTextLookup* tl = lookups_.Find(type, s.Name, p.Name);
                if (!tl || !std::holds_alternative<std::string>(p.Value)) continue;
                const std::string value(ReferenceReader::CleanText(std::get<std::string>(p.Value)));
                auto hit = changes.find(value);
                if (hit == changes.end()) continue;
                for (const Change& c : hit->second) {
                    if (!c.recordType.empty() && !tl->Targets(c.recordType)) continue;
                    p.SetValue(c.newID);
                    subChanged = true;
                    report(i, key, p.Name + ": " + value + " -> " + c.newID, c.newID);
                    break;
                }
            }
            if (subChanged) {
                file.PackSubRecord(index, key);
                changed = true;
            }
        }
        if (changed) file.Changed = anyChange = true;
        if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(index);
    }

    // Text that names an old ID: result scripts and conditions are rewritten (the game reads
    // them as they are); script source only when asked, as its compiled form keeps the old ID.
    for (const TextMention& m : mentions.Find(file)) {
        if (cancel_) break;
        const auto hit = changes.find(m.ID);
        if (hit == changes.end()) continue;
        const Change& c = hit->second.front();
        const std::size_t i = static_cast<std::size_t>(m.RecordIndex);
        if (m.Kind == MentionKind::ScriptSource) {
            // Its compiled form names the old ID until the script is compiled again, rewritten or not.
            const std::string compiled = TextMentions::CompiledKey(file, m.RecordIndex, m.SubrecordType, c.oldID);
            if (!rewriteScriptSource)
                unchanged_.push_back(
                    {fileKey, title, records[i].Key, records[i].ID, m.SubrecordKey, kUnchangedScriptSource});
            if (!compiled.empty())
                unchanged_.push_back({fileKey, title, records[i].Key, records[i].ID, compiled, kUnchangedCompiled});
            if (!rewriteScriptSource) continue;
        }
        const bool wasPacked = records[i].Packed;
        file.UnPackRecord(m.RecordIndex);
        if (file.UnpackSubRecord(m.RecordIndex, m.SubrecordKey)) {
            Subrecord& s = records[i].SubRecords->Item(m.SubrecordKey);
            Property* p = s.Properties.Find(m.PropertyName);
            if (p && std::holds_alternative<std::string>(p->Value)) {
                const std::string text = std::get<std::string>(p->Value);
                const std::string now =
                    m.Kind == MentionKind::Condition ? c.newID : TextMentions::ReplaceInScript(text, c.oldID, c.newID);
                if (now != text) {
                    const std::string name = p->Name; // packing frees the properties
                    p->SetValue(now);
                    file.PackSubRecord(m.RecordIndex, m.SubrecordKey);
                    file.Changed = anyChange = true;
                    report(i, m.SubrecordKey,
                           name + ": " + c.oldID + " -> " + c.newID +
                               (m.Kind == MentionKind::ScriptSource
                                    ? " (recompile this script: its compiled data still names the old ID)"
                                    : ""),
                           c.newID);
                }
            }
        }
        if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(m.RecordIndex);
    }
    // The index names the old IDs; scans after the change must see the new ones.
    if (anyChange) indexer_.BuildReferenceIndex(file, nullptr);
}

} // namespace vellum
