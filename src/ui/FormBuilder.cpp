#include "ui/FormBuilder.h"

#include "index/DialogueChain.h"
#include "index/HistoryScope.h"
#include "index/esCheckedEntries.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/ListedID.h"
#include "template/SubrecordCaption.h"
#include "ui/RecordCategories.h"

#include <algorithm>

namespace vellum::ui {
namespace {

esLLFormEntry Heading(FormEntryKind type, std::string caption) {
    esLLFormEntry e;
    e.FormEntryType = type;
    e.Caption = std::move(caption);
    return e;
}

} // namespace

FormEntryKind FormBuilder::EntryTypeOf(const Property& p) {
    switch (p.DataType) {
    case PropertyType::Text:
        if (p.TextLookup)
            return FormEntryKind::TextLookupField;
        return p.FileLookup ? FormEntryKind::FileLookupField : FormEntryKind::TextField;
    case PropertyType::Short: return FormEntryKind::ShortField;
    case PropertyType::Long: return p.Size == 1 ? FormEntryKind::ByteField : FormEntryKind::LongField;
    case PropertyType::Long64: return FormEntryKind::Long64Field;
    case PropertyType::Float: return p.Size == 8 ? FormEntryKind::DoubleField : FormEntryKind::SingleField;
    case PropertyType::BitField: return FormEntryKind::BitField;
    default: return FormEntryKind::ByteArrayField;
    }
}

bool FormBuilder::IsIdentity(const std::string& recordType, const std::string& subType,
                             const std::string& property) const {
    const std::string propId = file_.Template().GetVar(recordType, "PropID");
    for (const std::string& pair : Split(propId, ',')) {
        const auto parts = Split(pair, ':');
        if (parts.size() == 2 && KeysEqual(TrimSpaces(parts[0]), subType) &&
            KeysEqual(TrimSpaces(parts[1]), property))
            return true;
    }
    return false;
}

void FormBuilder::AddRecordHeading(std::vector<esLLFormEntry>& out, const std::string& recordKey) {
    const RecordEntry& r = file_.Rec(recordKey);
    const Config& templ = file_.Template();
    if (Keep()) {
        const std::string label = templ.InstrExists(r.Name, "PrecedesChildren") ? "Parent Record " : "Record ";
        esLLFormEntry h = Heading(FormEntryKind::RecordHeading, label + ListedID::Of(r.Name, r.ID).caption);
        h.RecordKey = recordKey;
        h.RecordType = r.Name;
        h.OldID = r.ID;
        out.push_back(std::move(h));
    }
    // A child shows its parent (a response its topic) in a field that can look up another.
    if (templ.InstrExists(r.Name, "FollowsParent") && file_.esRecArrayIndex().Exists(r.ParentKey.str()) && Keep()) {
        const RecordEntry& parent = file_.Rec(r.ParentKey.str());
        esLLFormEntry p = Heading(FormEntryKind::ParentLookupField, std::string(CategoryCaption(parent.Name)));
        p.RecordKey = recordKey;
        p.RecordType = r.Name;
        p.ParentType = parent.Name;
        p.Data = p.OldData = parent.ID;
        p.IsData = true;
        p.OldID = r.ID;
        out.push_back(std::move(p));
    }
    if (!r.Children.empty() && Keep()) {
        esLLFormEntry c = Heading(FormEntryKind::ShowChildren, "Show " + r.Children.front().substr(0, 4));
        c.RecordKey = r.Children.front();
        out.push_back(std::move(c));
    }
}

void FormBuilder::AddSubrecordEntries(std::vector<esLLFormEntry>& out, const std::string& recordKey,
                                      Subrecord& sub, bool beginsGroup) {
    const RecordEntry& r = file_.Rec(recordKey);
    const bool wasPacked = sub.Packed;
    if (sub.Packed)
        file_.UnpackSubRecord(recordKey, sub.Key);
    const std::size_t entries = 1 + sub.Properties.Count();
    if (total_ + entries <= first_ || (total_ >= first_ && total_ - first_ >= count_)) {
        total_ += entries; // wholly outside the entries wanted
        return;
    }
    if (Keep()) {
        esLLFormEntry h = Heading(FormEntryKind::SubrecordHeading,
                                  "  Subrecord " + SubrecordCaption(file_.Template(), r.Name, sub.Name));
        h.RecordKey = recordKey;
        h.SubRecordKey = sub.Key;
        h.RecordType = r.Name;
        h.SubrecordType = sub.Name;
        h.GroupNumber = sub.GroupNumber;
        if (sub.GroupNumber > 0)
            h.Html = "Item " + std::to_string(sub.GroupNumber) + (beginsGroup ? " (Begin Item Group)" : "");
        out.push_back(std::move(h));
    }
    const Config& templ = file_.Template();
    for (const auto& e : sub.Properties) {
        if (!Keep())
            continue;
        const Property& p = e.value;
        esLLFormEntry f;
        f.FormEntryType = EntryTypeOf(p);
        f.Caption = p.Description.empty() ? p.Name : p.Description;
        f.RecordKey = recordKey;
        f.SubRecordKey = sub.Key;
        f.PropertyName = e.key;
        f.RecordType = r.Name;
        f.SubrecordType = sub.Name;
        f.Data = f.OldData = p.Value;
        f.IsData = true;
        f.OldID = r.ID;
        f.GroupNumber = sub.GroupNumber;
        f.SubRecPacked = wasPacked;
        f.Size = p.Size;
        f.MaxChars = p.DataType == PropertyType::Text && p.Size > 0 ? p.Size : 0;
        f.IDEntry = IsIdentity(r.Name, sub.Name, e.key);
        f.Names = file_.Codec().NamesOf(r.Name, sub.Name, e.key);
        const std::string address = r.Name + "." + sub.Name + "." + e.key;
        if (const Variable* html = templ.FindVar("@HTML", address))
            f.Html = std::string(html->Value1());
        if (const Variable* lookup = templ.FindVar("@FILELOOKUP", address)) {
            f.LookupFolder = std::string(TrimSpaces(lookup->Value1()));
            const auto comma = lookup->Value.find(',');
            f.LookupFilter = comma == std::string::npos ? std::string() : lookup->Value.substr(comma + 1);
            f.FormEntryType = FormEntryKind::FileLookupField;
        }
        out.push_back(std::move(f));
    }
}

std::vector<esLLFormEntry> FormBuilder::Build(const FormSelection& selection, const esCheckedEntries* marks,
                                              std::size_t first, std::size_t count) {
    first_ = first;
    count_ = count;
    total_ = 0;
    std::vector<esLLFormEntry> out;
    if (selection.recordKey.empty()) {
        if (marks && marks->Count() > 0) {
            if (Keep())
                out.push_back(Heading(FormEntryKind::MainHeading, "Marked Entries"));
            if (Keep())
                out.push_back(Heading(FormEntryKind::MarkedActions, "Marked Entry Actions"));
            for (const auto& m : *marks) {
                if (!Keep())
                    continue;
                std::string caption = m.key;
                if (m.value.IsRecord() && file_.esRecArrayIndex().Exists(m.value.RecordKey))
                    caption = file_.Rec(m.value.RecordKey).Name + " " + file_.Rec(m.value.RecordKey).ID;
                esLLFormEntry e = Heading(FormEntryKind::RecordHeading, caption);
                e.RecordKey = m.value.RecordKey;
                out.push_back(std::move(e));
            }
        }
        return out;
    }
    if (!file_.esRecArrayIndex().Exists(selection.recordKey))
        return out;
    RecordEntry& r = file_.Rec(selection.recordKey);
    if (r.Packed || !r.SubRecords)
        file_.UnPackRecord(selection.recordKey);
    const bool oneSubrecord = !selection.subRecordKey.empty();
    if (Keep())
        out.push_back(Heading(FormEntryKind::MainHeading, oneSubrecord ? "Selected Subrecord" : "Selected Entry"));
    AddRecordHeading(out, selection.recordKey);
    if (!r.SubRecords)
        return out;
    int previousGroup = 0;
    for (auto& e : *r.SubRecords) {
        const bool begins = e.value.GroupNumber != previousGroup;
        previousGroup = e.value.GroupNumber;
        if (oneSubrecord && !KeysEqual(e.key, selection.subRecordKey))
            continue;
        AddSubrecordEntries(out, selection.recordKey, e.value, begins && e.value.GroupNumber > 0);
    }
    return out;
}

int FormBuilder::PageCount(std::size_t entries) {
    return entries == 0 ? 1 : static_cast<int>((entries + kPageSize - 1) / kPageSize);
}

esLLFormEntries FormBuilder::Page(std::vector<esLLFormEntry> pageEntries, int page, std::size_t total) {
    esLLFormEntries out;
    std::size_t n = 0;
    auto add = [&](esLLFormEntry e) { out.Add("Entry" + std::to_string(++n), std::move(e)); };
    if (page > 0)
        add(Heading(FormEntryKind::PreviousPage, "Previous Page"));
    for (esLLFormEntry& e : pageEntries)
        add(std::move(e));
    if ((static_cast<std::size_t>(page) + 1) * kPageSize < total)
        add(Heading(FormEntryKind::NextPage, "More..."));
    return out;
}

FormBuilder::CommitResult FormBuilder::Commit(esLLFormEntries& entries) {
    HistoryScope step(file_, "Edit {records}");
    CommitResult result;
    for (auto& slot : entries) {
        esLLFormEntry& e = slot.value;
        if (!e.IsData || !e.Changed)
            continue;
        if (!file_.esRecArrayIndex().Exists(e.RecordKey))
            continue;
        if (e.FormEntryType == FormEntryKind::ParentLookupField) {
            // A child moves under the parent chosen by its ID.
            const auto* id = std::get_if<std::string>(&e.Data);
            const auto* cat = id ? file_.esRecArrayCatIndex().Item(e.ParentType) : nullptr;
            const esRecIDEntry* to = cat ? cat->esRecIDIndex.Find(*id) : nullptr;
            if (to && to->IndexNumber >= 0 && to->IndexNumber < static_cast<int>(file_.Records().size()) &&
                DialogueChain::Move(file_, e.RecordKey, file_.Records()[to->IndexNumber].Key) ==
                    DialogueChain::MoveResult::Moved)
                result.changed = true;
            e.Changed = false;
            e.OldData = e.Data;
            continue;
        }
        RecordEntry& r = file_.Rec(e.RecordKey);
        e.RecPacked = r.Packed || !r.SubRecords;
        if (e.RecPacked)
            file_.UnPackRecord(e.RecordKey);
        Subrecord* sub = r.SubRecords ? r.SubRecords->Find(e.SubRecordKey) : nullptr;
        if (!sub)
            continue;
        if (sub->Packed)
            file_.UnpackSubRecord(e.RecordKey, e.SubRecordKey);
        Property* p = sub->Properties.Find(e.PropertyName);
        if (!p)
            continue;
        const Subrecord before = *sub; // to go back to when the ID is refused
        const SparseText previousID = r.PreviousID;
        p->SetValue(e.Data);
        file_.PackSubRecord(e.RecordKey, e.SubRecordKey);

        if (e.IDEntry) {
            const std::string newID = file_.GetID(e.RecordKey);
            auto* cat = file_.esRecArrayCatIndex().Item(r.CatKey());
            if (cat && !newID.empty() && newID != e.OldID) {
                const int position = file_.GetRecordIndex(e.RecordKey);
                const esRecIDEntry* holder = cat->esRecIDIndex.Find(newID);
                if (holder && holder->IndexNumber != position) {
                    // Two records of a type with one ID cannot both be found: the field goes back.
                    CurrentPrompt().Message("The ID '" + newID + "' is already in use by another " + r.Name +
                                            " record. The ID stays '" + e.OldID + "'.");
                    *sub = before;
                    r.ID = e.OldID;
                    r.PreviousID = previousID;
                    e.Data = e.OldData;
                    e.Changed = false;
                    result.refused = true;
                    if (e.RecPacked)
                        file_.PackRecord(e.RecordKey);
                    continue;
                }
                const esRecIDEntry* own = cat->esRecIDIndex.Find(e.OldID);
                if (own && own->IndexNumber == position)
                    cat->esRecIDIndex.ChangeID(e.OldID, newID);
                else
                    cat->esRecIDIndex.Add(newID, position, r.Description, r.Name);
                r.PreviousID = e.OldID;
                r.ID = newID;
                result.idChanges.push_back({e.RecordKey, e.OldID, newID});
                for (auto& other : entries)
                    if (other.value.RecordKey == e.RecordKey)
                        other.value.OldID = newID;
            }
        }
        result.changed = true;
        if (e.RecPacked)
            file_.PackRecord(e.RecordKey);
        e.Changed = false;
        e.OldData = e.Data;
    }
    if (result.changed)
        file_.Changed = true;
    return result;
}

} // namespace vellum::ui
