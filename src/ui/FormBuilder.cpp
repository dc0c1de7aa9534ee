#include "ui/FormBuilder.h"

#include "index/HistoryScope.h"
#include "index/esCheckedEntries.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"

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
    esLLFormEntry h = Heading(FormEntryKind::RecordHeading, (templ.InstrExists(r.Name, "PrecedesChildren") ? "Parent Record "
                                                                                              : "Record ") + r.ID);
    h.RecordKey = recordKey;
    h.RecordType = r.Name;
    h.OldID = r.ID;
    out.push_back(std::move(h));
    if (templ.InstrExists(r.Name, "FollowsParent") && !r.ParentKey.empty()) {
        esLLFormEntry p = Heading(FormEntryKind::ShowParent, "Show Parent Record");
        p.RecordKey = r.ParentKey.str();
        out.push_back(std::move(p));
    }
    if (!r.Children.empty()) {
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
    std::string caption = "  Subrecord " + sub.Name.substr(0, 4);
    if (sub.Name.size() > 4)
        caption += " (" + sub.Name + ")";
    esLLFormEntry h = Heading(FormEntryKind::SubrecordHeading, caption);
    h.RecordKey = recordKey;
    h.SubRecordKey = sub.Key;
    h.RecordType = r.Name;
    h.SubrecordType = sub.Name;
    h.GroupNumber = sub.GroupNumber;
    if (sub.GroupNumber > 0)
        h.Html = "Item " + std::to_string(sub.GroupNumber) + (beginsGroup ? " (Begin Item Group)" : "");
    out.push_back(std::move(h));
    const Config& templ = file_.Template();
    for (const auto& e : sub.Properties) {
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

std::vector<esLLFormEntry> FormBuilder::Build(const FormSelection& selection, const esCheckedEntries* marks) {
    std::vector<esLLFormEntry> out;
    if (selection.recordKey.empty()) {
        if (marks && marks->Count() > 0) {
            out.push_back(Heading(FormEntryKind::MainHeading, "Marked Entries"));
            out.push_back(Heading(FormEntryKind::MarkedActions, "Marked Entry Actions"));
            for (const auto& m : *marks) {
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

esLLFormEntries FormBuilder::Page(const std::vector<esLLFormEntry>& all, int page) {
    esLLFormEntries out;
    std::size_t n = 0;
    auto add = [&](esLLFormEntry e) { out.Add("Entry" + std::to_string(++n), std::move(e)); };
    page = std::clamp(page, 0, PageCount(all.size()) - 1);
    const std::size_t first = static_cast<std::size_t>(page) * kPageSize;
    if (page > 0)
        add(Heading(FormEntryKind::PreviousPage, "Previous Page"));
    for (std::size_t i = first; i < all.size() && i < first + kPageSize; ++i)
        add(all[i]);
    if (first + kPageSize < all.size())
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
        p->SetValue(e.Data);
        file_.PackSubRecord(e.RecordKey, e.SubRecordKey);
        result.changed = true;

        if (e.IDEntry) {
            const std::string newID = file_.GetID(e.RecordKey);
            auto* cat = file_.esRecArrayCatIndex().Item(r.CatKey());
            if (cat && !newID.empty() && newID != e.OldID) {
                const int position = file_.GetRecordIndex(e.RecordKey);
                const esRecIDEntry* holder = cat->esRecIDIndex.Find(newID);
                if (holder && holder->IndexNumber != position) {
                    CurrentPrompt().Message("Warning! The ID Index could not be updated because the ID '" + newID +
                                            "' is already in use by another record.");
                    // The record stays known by the ID the index holds for it.
                    r.ID = e.OldID;
                } else {
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
        }
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
