// The filter over the record tree: the field and toggles above it, what they keep, and where
// the selection and the keys go while it changes.
#include "ui/frmLowLevelEdit.h"

#include "index/esCheckedEntries.h"
#include "index/esFiles.h"
#include "model/RecordFilter.h"
#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/LegacyText.h"
#include "ui/RecordTreeModel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <unordered_set>

namespace vellum::ui {
namespace {

// Typing waits this long for the next key before a big file is filtered again.
constexpr int kTypingPauseMs = 150;

const QString kFilterHelp = QStringLiteral(
    "Keeps the records whose ID or name contains this text, in any letter case.\n"
    "Write /like this/ for a regular expression.\n"
    "Esc clears the filter; Down or Enter goes to the tree.\n"
    "Delete, Cut and Copy act on the records shown, and on ticked records even where the filter hides them.");

} // namespace

void frmLowLevelEdit::BuildFilterBar(QVBoxLayout* layout) {
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    filterField_ = new QLineEdit(this);
    filterField_->setObjectName("txtFilter");
    filterField_->setPlaceholderText(tr("Filter by ID or name, /expression/ (Ctrl+L)"));
    filterField_->setClearButtonEnabled(true);
    filterField_->setToolTip(kFilterHelp);
    filterField_->installEventFilter(this);
    tickedOnly_ = new QToolButton(this);
    tickedOnly_->setObjectName("btnFilterTicked");
    tickedOnly_->setText(tr("Ticked"));
    tickedOnly_->setCheckable(true);
    tickedOnly_->setToolTip(tr("Only ticked records, and records with a ticked subrecord"));
    changedOnly_ = new QToolButton(this);
    changedOnly_->setObjectName("btnFilterChanged");
    changedOnly_->setText(tr("Changed"));
    changedOnly_->setCheckable(true);
    changedOnly_->setToolTip(tr("Only records added or changed since the file was loaded"));
    bar->addWidget(filterField_, 1);
    bar->addWidget(changedOnly_);
    bar->addWidget(tickedOnly_);
    layout->addLayout(bar);
    filterState_ = new QLabel(this);
    filterState_->setObjectName("lblFilterState");
    filterState_->setWordWrap(true);
    filterState_->hide();
    layout->addWidget(filterState_);

    filterTimer_ = new QTimer(this);
    filterTimer_->setSingleShot(true);
    connect(filterTimer_, &QTimer::timeout, this, &frmLowLevelEdit::ApplyFilter);
    connect(filterField_, &QLineEdit::textChanged, this, [this] {
        // Small files follow every key at once.
        const bool big = file_ && file_->Records().size() > 5000;
        filterTimer_->start(big ? kTypingPauseMs : 0);
    });
    connect(tickedOnly_, &QToolButton::toggled, this, &frmLowLevelEdit::ApplyFilter);
    connect(changedOnly_, &QToolButton::toggled, this, &frmLowLevelEdit::ApplyFilter);
    connect(model_, &RecordTreeModel::marksChanged, this, [this] {
        // Ticks change what the toggle keeps and how many ticked records the filter hides.
        if (tickedOnly_->isChecked())
            filterTimer_->start(0);
        else
            ShowFilterState();
    });
}

void frmLowLevelEdit::FocusFilter() {
    filterField_->setFocus(Qt::ShortcutFocusReason);
    filterField_->selectAll();
}

void frmLowLevelEdit::ClearFilter() {
    {
        const QSignalBlocker ticked(tickedOnly_), changed(changedOnly_);
        tickedOnly_->setChecked(false);
        changedOnly_->setChecked(false);
    }
    filterField_->clear();
    ApplyFilter();
}

bool frmLowLevelEdit::FilterHides(const std::string& recordKey) const {
    if (!file_ || !model_->Filtered() || !file_->esRecArrayIndex().Exists(recordKey))
        return false;
    return !model_->Filter().Keeps(*file_, file_->GetRecordIndex(recordKey));
}

void frmLowLevelEdit::RevealRecord(const std::string& recordKey) {
    if (FilterHides(recordKey))
        ClearFilter();
}

std::size_t frmLowLevelEdit::TickShownRecords() {
    const QModelIndex current = tree_->currentIndex();
    if (!file_ || !model_->Filtered() || !current.isValid() || RecordTreeModel::LevelOf(current) != RecordTreeModel::kCategory)
        return 0;
    return model_->TickShown(current);
}

void frmLowLevelEdit::ApplyFilter() {
    filterTimer_->stop();
    RecordFilter filter;
    const bool valid = filter.SetText(ToFileText(filterField_->text()), TextCodePage());
    filterField_->setStyleSheet(valid ? QString() : QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
    filterField_->setToolTip(valid ? kFilterHelp : FromFileText(filter.Error()) + "\n\n" + kFilterHelp);
    if (!file_) {
        model_->SetFilter(std::move(filter));
        ShowFilterState();
        return;
    }
    CommitForm(); // an edit waiting in the form may change what the filter keeps
    if (tickedOnly_->isChecked())
        filter.SetMarkedOnly(&context_.files.CheckedEntries(fileKey_));
    filter.SetChangedOnly(changedOnly_->isChecked());

    QModelIndex current = tree_->currentIndex();
    if (RecordTreeModel::LevelOf(current) == RecordTreeModel::kSubrecord)
        current = current.parent();
    const bool onRecord = current.isValid() && RecordTreeModel::LevelOf(current) == RecordTreeModel::kRecord;
    const std::string recordKey = onRecord ? model_->KeyOf(current) : std::string();
    const bool hides = onRecord && file_->esRecArrayIndex().Exists(recordKey) &&
                       !filter.Keeps(*file_, file_->GetRecordIndex(recordKey));
    if (hides)
        CloseOpenNodes();
    const std::string comeBack = hiddenChoice_;
    model_->SetFilter(std::move(filter));
    if (hides) {
        SelectIndex(model_->CategoryIndex(file_->Rec(recordKey).CatKey()), false);
        hiddenChoice_ = recordKey;
    } else if (!comeBack.empty() && !onRecord && file_->esRecArrayIndex().Exists(comeBack) && !FilterHides(comeBack)) {
        GotoRecord(file_->Rec(comeBack).CatKey(), comeBack, fileKey_, {}, false, false);
    }
    if (tree_->currentIndex().isValid())
        tree_->scrollTo(tree_->currentIndex());
    ShowFilterState();
}

void frmLowLevelEdit::ShowFilterState() {
    if (const std::string& error = model_->Filter().Error(); !error.empty()) {
        filterState_->setText(FromFileText(error));
        filterState_->show();
        return;
    }
    if (!file_ || !model_->Filtered()) {
        filterState_->hide();
        return;
    }
    const QLocale locale;
    QString text = tr("%1 of %2 records shown")
                       .arg(locale.toString(static_cast<qulonglong>(model_->ShownRecords())),
                            locale.toString(static_cast<qulonglong>(model_->TotalRecords())));
    std::unordered_set<std::string> hidden;
    for (const auto& e : context_.files.CheckedEntries(fileKey_))
        if (FilterHides(e.value.RecordKey))
            hidden.insert(e.value.RecordKey);
    if (!hidden.empty())
        text += tr("; %1 ticked hidden, which Delete, Cut and Copy take too")
                    .arg(locale.toString(static_cast<qulonglong>(hidden.size())));
    filterState_->setText(text);
    filterState_->show();
}

bool frmLowLevelEdit::FilterKey(QKeyEvent* key) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Escape:
        if (filterField_->text().isEmpty() && !model_->Filtered())
            tree_->setFocus();
        else
            ClearFilter();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (filterTimer_->isActive())
            ApplyFilter();
        FocusTreeAtMatch();
        return true;
    default: return false;
    }
}

void frmLowLevelEdit::FocusTreeAtMatch() {
    tree_->setFocus();
    const QModelIndex current = tree_->currentIndex();
    if (!file_ || !model_->Filtered() || (current.isValid() && RecordTreeModel::LevelOf(current) != RecordTreeModel::kCategory))
        return;
    // The selected category when it shows records, else the first one that does.
    const int from = current.isValid() ? current.row() : 0;
    for (int k = 0; k < model_->rowCount(); ++k) {
        const QModelIndex category = model_->index((from + k) % model_->rowCount(), 0);
        if (!model_->hasChildren(category))
            continue;
        model_->BuildRecords(category);
        const QModelIndex first = model_->index(0, 0, category);
        if (first.isValid())
            GotoRecord(model_->KeyOf(category), model_->KeyOf(first), fileKey_, {}, true);
        return;
    }
}

} // namespace vellum::ui
