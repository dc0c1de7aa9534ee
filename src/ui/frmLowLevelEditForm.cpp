// The low-level editor's property form: building, paging, committing, and the commands that
// act on the shown file.
#include "ui/frmLowLevelEdit.h"

#include "index/HistoryScope.h"
#include "index/esCallbacks.h"
#include "index/esFiles.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "model/Text.h"
#include "template/Config.h"
#include "template/ListedID.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/FormBuilder.h"
#include "ui/LegacyText.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/TopicView.h"
#include "ui/frmDebug.h"
#include "ui/frmMain.h"
#include "ui/frmScanReferences.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>

namespace vellum::ui {

void frmLowLevelEdit::CommitForm() {
    if (!file_ || entries_.Count() == 0)
        return;
    bool pending = false, idEdit = false;
    for (const auto& e : entries_)
        if (e.value.IsData && e.value.Changed) {
            pending = true;
            idEdit = idEdit || e.value.IDEntry;
        }
    if (!pending)
        return;
    // An ID change and the reference repair it leads to, in any open file, are one step.
    HistoryScope step(context_.files.History(), "Edit {records}",
                      idEdit ? std::vector<std::string>{} : std::vector<std::string>{fileKey_});
    const FormBuilder::CommitResult result = FormBuilder(*file_).Commit(entries_);
    topicStale_ = topicStale_ || result.changed;
    if (!result.idChanges.empty())
        step.Rename("Change ID");
    for (const auto& change : result.idChanges)
        model_->RecordCaptionChanged(change.recordKey);
    if (result.changed)
        main_.SetStatusText();
    if (result.refused)
        form_->Draw(&entries_); // the field shows the ID the record kept
    if (!result.idChanges.empty())
        OfferReferenceScan(result.idChanges);
}

// The reference scan window offers to carry the new IDs into every record that refers to them.
void frmLowLevelEdit::OfferReferenceScan(const std::vector<FormBuilder::IdChange>& changes) {
    esCheckedEntries idList;
    for (const auto& c : changes) {
        esCheckedEntry& e = idList.Add(c.recordKey, fileKey_, c.recordKey);
        e.OldID = c.oldID;
        e.NewID = c.newID;
    }
    busy_ = true;
    frmScanReferences window(context_.files, fileKey_, idList, this);
    window.exec();
    busy_ = false;
}

void frmLowLevelEdit::Save() { CommitForm(); }

void frmLowLevelEdit::BuildForm() {
    CommitForm();
    form_->Draw(nullptr);
    entries_.clear();
    if (file_) {
        const FormSelection selection{file_->CurrentCatKey, file_->CurrentRecordKey, file_->CurrentSubRecordKey};
        const esCheckedEntries* marks = &context_.files.CheckedEntries(fileKey_);
        FormBuilder builder(*file_);
        page_ = std::max(page_, 0);
        auto build = [&] { return builder.Build(selection, marks, page_ * FormBuilder::kPageSize, FormBuilder::kPageSize); };
        std::vector<esLLFormEntry> entries = build();
        if (const int last = FormBuilder::PageCount(builder.Total()) - 1; page_ > last) {
            page_ = last; // the form has shrunk since
            entries = build();
        }
        entries_ = FormBuilder::Page(std::move(entries), page_, builder.Total());
    }
    form_->Draw(&entries_);
    UpdateTopicView();
    UpdateEditCommands();
    WriteDebugListing();
}

void frmLowLevelEdit::UpdateTopicView() {
    if (!file_ || !file_->esRecArrayIndex().Exists(file_->CurrentRecordKey)) {
        topic_->Clear();
        return;
    }
    const RecordEntry& r = file_->Rec(file_->CurrentRecordKey);
    std::string topic;
    if (file_->Template().InstrExists(r.Name, "PrecedesChildren"))
        topic = r.Key;
    else if (!r.ParentKey.empty() && file_->esRecArrayIndex().Exists(r.ParentKey.str()))
        topic = r.ParentKey.str();
    if (topic.empty()) {
        topic_->Clear();
        return;
    }
    const bool appears = topic_->isHidden();
    topic_->ShowTopic(file_, topic, file_->Rec(topic).ID, r.Key, topicStale_);
    topicStale_ = false;
    if (auto* panes = qobject_cast<QSplitter*>(topic_->parentWidget()); panes && appears) {
        const int total = panes->height();
        panes->setSizes({total * 2 / 5, total - total * 2 / 5});
    }
}

void frmLowLevelEdit::RefreshForm() { BuildForm(); }

void frmLowLevelEdit::GoToPage(int delta) {
    CommitForm();
    page_ += delta;
    BuildForm();
}

void frmLowLevelEdit::GoToId(const QString& id, const QString& holderType) {
    if (!file_ || id.isEmpty())
        return;
    const std::string wanted = ToFileText(id);
    // The types the template allows first, then any category.
    std::vector<std::string> types;
    for (const auto& e : entries_) {
        if (e.value.FormEntryType != FormEntryKind::TextLookupField || e.value.RecordType != holderType.toStdString())
            continue;
        const std::string address = e.value.RecordType + "." + e.value.SubrecordType + "." + e.value.PropertyName;
        for (const std::string& t : Split(file_->Template().GetVar("@TEXTLOOKUP", address), ','))
            types.emplace_back(TrimSpaces(t));
    }
    for (const auto& cat : file_->esRecArrayCatIndex())
        types.push_back(cat.key);
    for (const std::string& type : types) {
        const auto* cat = file_->esRecArrayCatIndex().Item(type);
        const esRecIDEntry* holder = cat ? cat->esRecIDIndex.Find(wanted) : nullptr;
        if (!holder || holder->IndexNumber < 0 || holder->IndexNumber >= static_cast<int>(file_->Records().size()))
            continue;
        GotoRecord(type, file_->Records()[holder->IndexNumber].Key, fileKey_, {}, true);
        return;
    }
}

void frmLowLevelEdit::UpdateEditCommands() {
    EditState st;
    st.clipboardFilled = context_.files.ClipboardFile().esRecArrayIndex().Count() > 0;
    st.deleteEnabled = context_.values.EnableDelete;
    if (file_) {
        st.fileShown = true;
        st.clipboardShown = file_->Clipboard;
        st.supportShown = file_->IsSupport;
        st.categorySelected = !file_->CurrentCatKey.empty();
        st.marked = model_->MarkCount() > 0;
        if (!file_->CurrentRecordKey.empty() && file_->esRecArrayIndex().Exists(file_->CurrentRecordKey)) {
            const RecordEntry& r = file_->Rec(file_->CurrentRecordKey);
            st.recordSelected = true;
            st.recordLabel = FromFileText(r.Key.substr(0, 4) + " " + ListedID::Of(r.Name, r.ID).caption);
        }
    }
    main_.UpdateEditCommands(st);
    const auto actions = popup_->actions();
    const QString& label = st.recordLabel;
    actions[13]->setText(label.isEmpty() ? "Bro&wse references to selected record" : "Bro&wse references for " + label);
    actions[14]->setText(label.isEmpty() ? "Sort subrecords of selected record" : "Sort subrecords of " + label);
}

void frmLowLevelEdit::ShowPopupMenu(const QPoint& pos) {
    UpdateEditCommands();
    popup_->popup(tree_->viewport()->mapToGlobal(pos));
}

void frmLowLevelEdit::RefreshCaptions() {
    model_->SetViewRecordTypes(context_.values.ViewRecordTypes);
    tree_->viewport()->update(); // texts may read differently in another code page
}

void frmLowLevelEdit::RebuildIndex() {
    if (!file_ || busy_)
        return;
    CommitForm();
    BusyGuard busyCount;
    CloseOpenNodes();
    file_->RebuildIndices(&main_.Progress());
    main_.Progress().DoneWaiting();
    Showfile(QString::fromStdString(fileKey_));
}

void frmLowLevelEdit::ChangeType(int fileType) {
    if (!file_)
        return;
    HistoryScope step(*file_, "Change File Type");
    file_->SetFileType(fileType);
    file_->Changed = true;
    RefreshForm();
}

void frmLowLevelEdit::SetHotTracking() { tree_->setMouseTracking(context_.values.HotTracking); }

void frmLowLevelEdit::LoadbgImage() {
    const QString image = QString::fromStdString(context_.values.BackGroundImage).replace('\\', '/');
    tree_->setStyleSheet(image.isEmpty() ? QString()
                                         : QStringLiteral("QTreeView { background-image: url(\"%1\"); "
                                                          "background-attachment: fixed; }")
                                               .arg(image));
}

void frmLowLevelEdit::SetDebugWindow(frmDebug* window) {
    debug_ = window;
    WriteDebugListing();
}

void frmLowLevelEdit::WriteDebugListing() {
    if (!debug_ || !file_ || file_->CurrentSubRecordKey.empty() ||
        !file_->esRecArrayIndex().Exists(file_->CurrentRecordKey))
        return;
    const RecordEntry& r = file_->Rec(file_->CurrentRecordKey);
    const Subrecord* sub = r.SubRecords ? r.SubRecords->Find(file_->CurrentSubRecordKey) : nullptr;
    if (!sub)
        return;
    QString text = "Record: " + FromFileText(r.Key + " " + r.ID) + "\n";
    text += "   SubRecord: " + FromFileText(sub->Key) + "\n";
    for (const auto& p : sub->Properties)
        text += FromFileText(p.key) + ": " + FromFileText(p.value.Text()) + "\n";
    text += "    RAW DATA";
    for (std::uint8_t b : sub->Data)
        text += QStringLiteral("  %1").arg(b);
    debug_->SetListing(text);
}

} // namespace vellum::ui
