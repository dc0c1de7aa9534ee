#include "ui/frmReferences.h"

#include "index/esFiles.h"
#include "index/esRelative.h"
#include "model/Progress.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellum::ui {

namespace {
constexpr int kRowRole = Qt::UserRole + 1; // index into rows_
}

frmReferences::frmReferences(esFiles& files, std::string fileKey, Progress* progress, QWidget* parent)
    : QDialog(parent), files_(files), fileKey_(std::move(fileKey)), progress_(progress), icon_(new QLabel),
      record_(new QLabel), model_(new QStandardItemModel(this)), grid_(new QTreeView),
      showNew_(new QCheckBox(tr("Browse the references of the record gone to"))), back_(new QToolButton),
      forward_(new QToolButton) {
    setWindowTitle(tr("References"));
    record_->setObjectName("lblRecord");
    icon_->setObjectName("picRecordType");
    showNew_->setObjectName("chkShowNewReferences");
    grid_->setObjectName("sggRef");
    grid_->setModel(model_);
    grid_->setRootIsDecorated(true);
    grid_->setUniformRowHeights(true);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    back_->setIcon(CommandIcon("Back"));
    back_->setToolTip(tr("Back"));
    forward_->setIcon(CommandIcon("Forward"));
    forward_->setToolTip(tr("Forward"));
    connect(back_, &QToolButton::clicked, this, &frmReferences::Back);
    connect(forward_, &QToolButton::clicked, this, &frmReferences::Forward);
    connect(grid_, &QTreeView::doubleClicked, this, &frmReferences::GoToSelected);
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (!filling_ && item->isCheckable()) OnTick(item->data(kRowRole).toInt(), item->checkState() == Qt::Checked);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(back_);
    top->addWidget(forward_);
    top->addWidget(icon_);
    top->addWidget(record_, 1);
    auto* buttons = new QDialogButtonBox;
    QPushButton* goTo = buttons->addButton(tr("&Go to"), QDialogButtonBox::ActionRole);
    goTo->setObjectName("cmdGoto");
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName("cmdCancel");
    connect(goTo, &QPushButton::clicked, this, &frmReferences::GoToSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(showNew_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    resize(640, 480);
    UpdateNav();
}

void frmReferences::Browse(const std::string& recordKey, bool remember) {
    esfile* file = files_.Find(fileKey_);
    const auto* pos = file ? file->esRecArrayIndex().Find(recordKey) : nullptr;
    if (!pos) return;
    if (remember) {
        history_.resize(static_cast<std::size_t>(position_ + 1));
        history_.push_back(recordKey);
        position_ = static_cast<int>(history_.size()) - 1;
    }
    const RecordEntry& r = file->Records()[static_cast<std::size_t>(pos->IndexNumber)];
    const QString type = QString::fromStdString(r.Name);
    record_->setText(FromFileText(r.ID) + "  (" + type + ")");
    icon_->setPixmap(CommandIcon(type).pixmap(24, 24));
    if (progress_) progress_->Waiting(-1, "Browsing References for " + r.Name + " " + r.ID);
    files_.BuildTextLookupList();
    rows_ = BrowseReferences(*file, files_.Indexer(), pos->IndexNumber, progress_);
    if (progress_) progress_->DoneWaiting();
    Fill();
    UpdateNav();
}

void frmReferences::Fill() {
    filling_ = true;
    model_->clear();
    model_->setHorizontalHeaderLabels({tr("Type"), tr("Record Type"), tr("ID"), tr("Subrecord"), tr("Property")});
    esfile* file = files_.Find(fileKey_);
    const esCheckedEntries* ticked = file ? &files_.CheckedEntries(fileKey_) : nullptr;
    QStandardItem* groups[2] = {new QStandardItem("[Ancestors]"), new QStandardItem("[Descendants]")};
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const ReferenceRow& row = rows_[static_cast<std::size_t>(i)];
        auto* type = new QStandardItem(row.Type == ReferenceRow::Ancestor ? "Ancestors" : "Descendants");
        type->setCheckable(true);
        type->setData(i, kRowRole);
        const std::string& key = file && row.RecordIndex >= 0 &&
                                         row.RecordIndex < static_cast<int>(file->Records().size())
                                     ? file->Records()[static_cast<std::size_t>(row.RecordIndex)].Key
                                     : std::string();
        if (ticked && ticked->GetChecked(esRelative::MakeKey(fileKey_, key))) type->setCheckState(Qt::Checked);
        QList<QStandardItem*> cells{type, new QStandardItem(CommandIcon(QString::fromStdString(row.RecordType)),
                                                            QString::fromStdString(row.RecordType)),
                                    new QStandardItem(FromFileText(row.ID)),
                                    new QStandardItem(QString::fromStdString(row.SubrecordType)),
                                    new QStandardItem(FromFileText(row.PropertyName))};
        groups[row.Type == ReferenceRow::Ancestor ? 0 : 1]->appendRow(cells);
    }
    for (QStandardItem* g : groups) {
        if (g->rowCount() == 0) {
            delete g;
            continue;
        }
        QFont bold = g->font();
        bold.setBold(true);
        g->setFont(bold);
        model_->appendRow(g);
    }
    grid_->expandAll();
    grid_->header()->resizeSection(0, 140);
    filling_ = false;
}

void frmReferences::OnTick(int row, bool ticked) {
    esfile* file = files_.Find(fileKey_);
    if (!file || row < 0 || row >= static_cast<int>(rows_.size())) return;
    const int index = rows_[static_cast<std::size_t>(row)].RecordIndex;
    if (index < 0 || index >= static_cast<int>(file->Records().size())) return;
    const std::string& recordKey = file->Records()[static_cast<std::size_t>(index)].Key;
    const std::string key = esRelative::MakeKey(fileKey_, recordKey);
    esCheckedEntries& checked = files_.CheckedEntries(fileKey_);
    if (ticked)
        checked.Add(key, fileKey_, recordKey);
    else
        checked.Remove(key);
    emit MarksChanged();
}

void frmReferences::GoToSelected() {
    const QModelIndex current = grid_->currentIndex();
    const QModelIndex first = current.sibling(current.row(), 0);
    if (!first.isValid() || !first.parent().isValid()) return; // a group heading
    const int row = first.data(kRowRole).toInt();
    esfile* file = files_.Find(fileKey_);
    if (!file || row < 0 || row >= static_cast<int>(rows_.size())) return;
    const int index = rows_[static_cast<std::size_t>(row)].RecordIndex;
    if (index < 0 || index >= static_cast<int>(file->Records().size())) return;
    const std::string recordKey = file->Records()[static_cast<std::size_t>(index)].Key;
    emit GoTo(QString::fromStdString(fileKey_), QString::fromStdString(recordKey));
    if (showNew_->isChecked()) Browse(recordKey);
}

void frmReferences::Back() {
    if (position_ <= 0) return;
    --position_;
    Browse(history_[static_cast<std::size_t>(position_)], false);
}

void frmReferences::Forward() {
    if (position_ + 1 >= static_cast<int>(history_.size())) return;
    ++position_;
    Browse(history_[static_cast<std::size_t>(position_)], false);
}

void frmReferences::UpdateNav() {
    back_->setEnabled(position_ > 0);
    forward_->setEnabled(position_ + 1 < static_cast<int>(history_.size()));
}

} // namespace vellum::ui
