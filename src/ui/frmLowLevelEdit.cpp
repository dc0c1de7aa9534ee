#include "ui/frmLowLevelEdit.h"

#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/TopicView.h"
#include "ui/esLLFormEntry.h"
#include "ui/frmMain.h"

#include <algorithm>

#include <QAction>
#include <QShowEvent>
#include <QTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellum::ui {
namespace {
// Categories at least this big show the waiting label while their nodes are built.
constexpr std::size_t kWaitLabelRecords = 2000;
} // namespace

frmLowLevelEdit::frmLowLevelEdit(frmMain& main, QWidget* parent)
    : QWidget(parent), main_(main), context_(main.Context()) {
    setObjectName("frmLowLevelEdit");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(this);
    auto* treeHolder = new QWidget(splitter_);
    auto* treeLayout = new QVBoxLayout(treeHolder);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    tree_ = new QTreeView(treeHolder);
    tree_->setObjectName("tvRecords");
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    // Not an edit control: Del, Ctrl+X, Ctrl+C and Ctrl+V act on its selection.
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->installEventFilter(this);
    model_ = new RecordTreeModel(this);
    tree_->setModel(model_);
    BuildFilterBar(treeLayout);
    waitLabel_ = new QLabel("The low level editor is building nodes for a large number of records. Please wait...",
                            treeHolder);
    waitLabel_->setWordWrap(true);
    waitLabel_->setAlignment(Qt::AlignCenter);
    waitLabel_->hide();
    treeLayout->addWidget(tree_);
    treeLayout->addWidget(waitLabel_);
    auto* right = new QSplitter(Qt::Vertical, splitter_);
    topic_ = new TopicView(right);
    topic_->hide();
    form_ = new PropertyForm(right);
    form_->SetFolders(context_.dataFolder, context_.folders);
    form_->lookup = [this](const esLLFormEntry& e) { return LookupID(e); };
    form_->parentLookup = [this](const esLLFormEntry& e) { return LookupParent(e); };
    right->addWidget(topic_);
    right->addWidget(form_);
    right->setStretchFactor(0, 2);
    right->setStretchFactor(1, 3);
    splitter_->addWidget(treeHolder);
    splitter_->addWidget(right);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 3);
    layout->addWidget(splitter_);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!selecting_)
                    NodeClicked(current, true);
            });
    connect(tree_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (RecordTreeModel::LevelOf(index) == RecordTreeModel::kCategory) {
            model_->BuildRecords(index, &main_.Progress());
            main_.Progress().DoneWaiting();
        } else if (index != model_->OpenRecord())
            SelectIndex(index, true);
    });
    connect(tree_, &QWidget::customContextMenuRequested, this, &frmLowLevelEdit::ShowPopupMenu);
    connect(model_, &RecordTreeModel::marksChanged, this, [this] {
        UpdateEditCommands();
        RefreshForm();
    });
    // The marks of what changed since the load follow every command.
    connect(&main_, &frmMain::FilesMayHaveChanged, tree_->viewport(), qOverload<>(&QWidget::update));
    connect(form_, &PropertyForm::pageRequested, this, &frmLowLevelEdit::GoToPage);
    connect(form_, &PropertyForm::goToId, this, &frmLowLevelEdit::GoToId);
    connect(form_, &PropertyForm::goToParent, this, &frmLowLevelEdit::GoToParent);
    connect(form_, &PropertyForm::goToRecordKey, this, [this](const QString& key) {
        if (!file_ || !file_->esRecArrayIndex().Exists(key.toStdString()))
            return;
        const RecordEntry& r = file_->Rec(key.toStdString());
        GotoRecord(r.CatKey(), r.Key, fileKey_, {}, true);
    });

    connect(form_, &PropertyForm::headingCommand, this, &frmLowLevelEdit::HeadingCommand);
    connect(topic_, &TopicView::responseChosen, this, [this](const QString& key) {
        if (file_ && file_->esRecArrayIndex().Exists(key.toStdString()))
            GotoRecord(file_->Rec(key.toStdString()).CatKey(), key.toStdString(), fileKey_, {}, true, false);
    });

    popup_ = new QMenu(this);
    popup_->setObjectName("mnuLLEdit");
    // The pop-up's items are the main window's commands under their own captions: they run the
    // same code and follow its enabled state.
    const std::pair<const char*, const char*> items[] = {
        {"Mark &All Entries", "mnuEditMarkAll"},
        {"&Edit Marked Entries", "mnuEditEditMarked"},
        {"Unmar&k Entries", "mnuEditUnmark"},
        {"&Delete", "mnuEditDelete"},
        {"C&ut", "mnuEditCut"},
        {"&Copy", "mnuEditCopy"},
        {"&Paste - Replace records with same IDs", "mnuEditPaste"},
        {"Paste - &Merge records with same IDs", "mnuEditPasteAdd"},
        {"Paste Su&brecords only", "mnuEditPasteSubrecords"},
        {"Insert &Record", "mnuInsertRecord"},
        {"Insert &Subrecord", "mnuInsertSubRecord"},
        {"&Find", "mnuEditFind"},
        {"Fi&nd All", "mnuEditFindAll"},
        {"Bro&wse references to selected record", "mnuEditFindRefs"},
        {"Sort subrecords of selected record", "mnuEditSortSubrecords"},
    };
    for (const auto& [caption, name] : items) {
        QAction* item = popup_->addAction(caption);
        QAction* command = main_.Command(name);
        item->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, item, &QAction::setEnabled);
        connect(item, &QAction::triggered, command, &QAction::trigger);
    }
    SetHotTracking();
    LoadbgImage();
}

frmLowLevelEdit::~frmLowLevelEdit() = default;

void frmLowLevelEdit::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The panes' size hints say little before a file is shown: give the form the larger share once.
    if (splitSet_)
        return;
    splitSet_ = true;
    // After the window has taken its restored geometry.
    QTimer::singleShot(0, this, &frmLowLevelEdit::ResizeMe);
}

void frmLowLevelEdit::ResizeMe() {
    const bool across = splitter_->orientation() == Qt::Horizontal;
    const int total = across ? splitter_->width() : splitter_->height();
    const int tree = across ? std::clamp(total * 3 / 10, 240, 420) : total * 2 / 5;
    splitter_->setSizes({tree, std::max(total - tree, 1)});
}

bool frmLowLevelEdit::Showfile(const QString& key) {
    if (busy_)
        return false;
    esfile* file = context_.files.Find(key.toStdString());
    if (!file)
        return false;
    CommitForm();
    CloseOpenNodes();
    form_->Draw(nullptr);
    entries_.clear();
    ReportUnloading();
    file_ = file;
    fileKey_ = key.toStdString();
    page_ = 0;
    topicStale_ = true;
    model_->SetFile(file_, fileKey_, &context_.files.CheckedEntries(fileKey_), context_.values.ViewRecordTypes);
    file_->CurrentCatKey.clear();
    file_->CurrentRecordKey.clear();
    file_->CurrentSubRecordKey.clear();
    hiddenChoice_.clear();
    ApplyFilter(); // the filter stays over the file shown
    UpdateEditCommands();
    SetNavButtons();
    // The keys move through the tree of the file just shown.
    if (BusyCount() == 0)
        tree_->setFocus();
    return true;
}

void frmLowLevelEdit::FileClosing(const QString& key) {
    if (key.toStdString() != fileKey_)
        return;
    form_->Draw(nullptr);
    entries_.clear();
    ReportUnloading();
    model_->SetFile(nullptr, {}, nullptr, context_.values.ViewRecordTypes);
    file_ = nullptr;
    fileKey_.clear();
    ShowFilterState();
    UpdateEditCommands();
}

// The old tree goes at once, but a big one is announced as it would be node by node: at the
// first node and after every 44 more.
void frmLowLevelEdit::ReportUnloading() {
    int total = 0;
    for (int c = 0; c < model_->rowCount(); ++c) {
        const QModelIndex category = model_->index(c, 0);
        total += 1 + model_->rowCount(category);
    }
    if (const QModelIndex open = model_->OpenRecord(); open.isValid())
        total += model_->rowCount(open);
    if (total <= 44)
        return;
    for (int n = 1; n <= total; n += 44)
        main_.Progress().Waiting(100.0 * n / total, "Unloading Tree Node " + std::to_string(n));
    main_.Progress().DoneWaiting();
}

void frmLowLevelEdit::CloseOpenNodes() {
    const QModelIndex open = model_->OpenRecord();
    if (!open.isValid() || !file_)
        return;
    const std::string key = model_->KeyOf(open);
    model_->CloseOpenNodes();
    if (!context_.values.LeaveRecordsUnpacked && file_->esRecArrayIndex().Exists(key))
        file_->PackRecord(key);
}

void frmLowLevelEdit::SelectIndex(const QModelIndex& index, bool addHistory) {
    if (!index.isValid())
        return;
    {
        const QSignalBlocker guard(tree_->selectionModel());
        selecting_ = true;
        tree_->setCurrentIndex(index);
        selecting_ = false;
    }
    tree_->viewport()->update();
    NodeClicked(index, addHistory);
}

void frmLowLevelEdit::NodeClicked(const QModelIndex& index, bool addHistory) {
    if (busy_ || selecting_ || !file_ || !index.isValid())
        return;
    CommitForm();
    hiddenChoice_.clear();
    busy_ = true;
    BusyGuard busyCount;
    const auto level = RecordTreeModel::LevelOf(index);
    const std::string key = model_->KeyOf(index);
    switch (level) {
    case RecordTreeModel::kCategory: {
        const bool big = !model_->RecordsBuilt(index) && model_->rowCount(index) == 0 &&
                         file_->esRecArrayCatIndex().Item(key) &&
                         file_->esRecArrayCatIndex().Item(key)->esRecArrayCatEntries.Count() >= kWaitLabelRecords;
        const bool hadFocus = tree_->hasFocus();
        if (big) {
            tree_->hide();
            waitLabel_->show();
        }
        model_->BuildRecords(index, &main_.Progress());
        if (big) {
            waitLabel_->hide();
            tree_->show();
            if (hadFocus) // hiding it gave the focus away
                tree_->setFocus();
        }
        file_->CurrentCatKey = key;
        file_->CurrentRecordKey.clear();
        file_->CurrentSubRecordKey.clear();
        break;
    }
    case RecordTreeModel::kRecord:
        if (index != model_->OpenRecord()) {
            CloseOpenNodes();
            model_->BuildSubrecords(index, &main_.Progress());
        }
        file_->CurrentCatKey = model_->KeyOf(index.parent());
        file_->CurrentRecordKey = key;
        file_->CurrentSubRecordKey.clear();
        break;
    case RecordTreeModel::kSubrecord:
        file_->CurrentCatKey = model_->KeyOf(index.parent().parent());
        file_->CurrentRecordKey = model_->KeyOf(index.parent());
        file_->CurrentSubRecordKey = key;
        break;
    }
    main_.Progress().DoneWaiting();
    if (addHistory)
        history_.Add(fileKey_, file_->CurrentCatKey, file_->CurrentRecordKey, file_->CurrentSubRecordKey);
    busy_ = false;
    page_ = 0;
    tree_->scrollTo(index);
    SetNavButtons();
    BuildForm();
}

void frmLowLevelEdit::GotoRecord(const std::string& catKey, const std::string& recordKey, const std::string& fileKey,
                                 const std::string& subRecordKey, bool addHistory, bool focusTree) {
    if (busy_)
        return;
    if (!fileKey.empty() && fileKey != fileKey_) {
        main_.ClickFileButton(QString::fromStdString(fileKey));
        if (fileKey != fileKey_)
            return;
    }
    if (addHistory)
        RevealRecord(recordKey);
    QModelIndex target = model_->CategoryIndex(catKey);
    if (!target.isValid())
        return;
    model_->BuildRecords(target, &main_.Progress());
    if (!recordKey.empty()) {
        const QModelIndex record = model_->RecordIndex(recordKey);
        if (record.isValid()) {
            target = record;
            if (record != model_->OpenRecord()) {
                CommitForm();
                CloseOpenNodes();
                model_->BuildSubrecords(record, &main_.Progress());
            }
            if (!subRecordKey.empty()) {
                const QModelIndex sub = model_->SubrecordIndex(subRecordKey);
                if (sub.isValid())
                    target = sub;
            }
        }
    }
    tree_->expand(target.parent());
    SelectIndex(target, addHistory);
    main_.Progress().DoneWaiting();
    if (focusTree && BusyCount() == 0)
        tree_->setFocus();
}

frmLowLevelEdit::SelectionAnchor frmLowLevelEdit::Anchor() const {
    SelectionAnchor a;
    a.fileKey = fileKey_;
    QModelIndex current = tree_->currentIndex();
    if (!file_ || !current.isValid())
        return a;
    if (RecordTreeModel::LevelOf(current) == RecordTreeModel::kSubrecord) {
        a.subrecord = current.row();
        current = current.parent();
    }
    if (RecordTreeModel::LevelOf(current) == RecordTreeModel::kRecord) {
        const std::string key = model_->KeyOf(current);
        a.record = file_->esRecArrayIndex().Exists(key);
        if (a.record)
            a.id = file_->Rec(key).ID;
        a.sameIdBefore = model_->SameIdBefore(current);
        current = current.parent();
    }
    a.category = model_->KeyOf(current);
    return a;
}

void frmLowLevelEdit::Reselect(const SelectionAnchor& a) {
    if (!Showfile(QString::fromStdString(a.fileKey)) || a.category.empty())
        return;
    const QModelIndex category = model_->CategoryIndex(a.category);
    if (!category.isValid())
        return;
    model_->BuildRecords(category, &main_.Progress());
    const RecordTreeModel::Nearest near =
        a.record ? model_->NearestRecord(category, a.id, a.sameIdBefore) : RecordTreeModel::Nearest{};
    if (near.row < 0) {
        GotoRecord(a.category, {}, a.fileKey, {}, false);
        return;
    }
    const QModelIndex record = model_->index(near.row, 0, category);
    const std::string recordKey = model_->KeyOf(record);
    std::string subKey;
    if (near.exact && a.subrecord >= 0) {
        CloseOpenNodes();
        model_->BuildSubrecords(record, &main_.Progress());
        if (const int subs = model_->rowCount(record); subs > 0)
            subKey = model_->KeyOf(model_->index(std::min(a.subrecord, subs - 1), 0, record));
    }
    GotoRecord(a.category, recordKey, a.fileKey, subKey, false);
}

void frmLowLevelEdit::HeadingCommand(const QString& command, const QString& recordKey, const QString& subKey) {
    if (busy_ || !file_)
        return;
    // With marks, delete, cut and copy take the marked entries wherever their button is.
    const bool onMarks = model_->MarkCount() > 0 &&
                         (command == "mnuEditDelete" || command == "mnuEditCut" || command == "mnuEditCopy");
    const std::string rec = recordKey.toStdString(), sub = subKey.toStdString();
    if (!onMarks && !rec.empty() && file_->esRecArrayIndex().Exists(rec) &&
        (rec != file_->CurrentRecordKey || sub != file_->CurrentSubRecordKey))
        GotoRecord(file_->Rec(rec).CatKey(), rec, fileKey_, sub, true);
    if (QAction* action = main_.Command(command); action && action->isEnabled())
        action->trigger();
}

void frmLowLevelEdit::UpLevel() {
    const QModelIndex current = tree_->currentIndex();
    if (!current.isValid())
        return;
    if (tree_->isExpanded(current)) {
        tree_->collapse(current);
        return;
    }
    if (current.parent().isValid())
        SelectIndex(current.parent(), true);
}

void frmLowLevelEdit::Back() {
    history_.Back();
    if (const esHistoryItem* item = history_.CurrentItem(); item && item->FileKey == fileKey_)
        RevealRecord(item->RecordKey);
    if (const esHistoryItem* item = history_.CurrentItem())
        GotoRecord(item->CatKey, item->RecordKey, item->FileKey, item->SubRecordKey, false);
    SetNavButtons();
}

void frmLowLevelEdit::Forward() {
    history_.Forward();
    if (const esHistoryItem* item = history_.CurrentItem(); item && item->FileKey == fileKey_)
        RevealRecord(item->RecordKey);
    if (const esHistoryItem* item = history_.CurrentItem())
        GotoRecord(item->CatKey, item->RecordKey, item->FileKey, item->SubRecordKey, false);
    SetNavButtons();
}

void frmLowLevelEdit::SetNavButtons() {
    const QModelIndex current = tree_->currentIndex();
    main_.SetNavButtons(history_.CanGoBack(), history_.CanGoForward(), current.isValid() && current.parent().isValid());
}

bool frmLowLevelEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filterField_ && event->type() == QEvent::KeyPress)
        return FilterKey(static_cast<QKeyEvent*>(event));
    if (watched != tree_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QModelIndex current = tree_->currentIndex();
    if (!current.isValid())
        return false;
    switch (key->key()) {
    case Qt::Key_Left:
        if (tree_->isExpanded(current))
            tree_->collapse(current);
        else if (current.parent().isValid())
            SelectIndex(current.parent(), true);
        return true;
    case Qt::Key_Right:
        if (model_->hasChildren(current) && !tree_->isExpanded(current)) {
            if (current != tree_->currentIndex() || RecordTreeModel::LevelOf(current) != RecordTreeModel::kCategory)
                SelectIndex(current, true);
            tree_->expand(current);
        } else if (model_->rowCount(current) > 0) {
            SelectIndex(model_->index(0, 0, current), true);
        }
        return true;
    case Qt::Key_Up:
        if (current.row() > 0)
            SelectIndex(current.sibling(current.row() - 1, 0), true);
        return true;
    case Qt::Key_Down:
        if (current.row() + 1 < model_->rowCount(current.parent()))
            SelectIndex(current.sibling(current.row() + 1, 0), true);
        return true;
    case Qt::Key_Delete:
        if (QAction* del = main_.Command("mnuEditDelete"); del && del->isEnabled())
            del->trigger();
        return true;
    default: return false;
    }
}

} // namespace vellum::ui
