#include "ui/frmReferences.h"

#include "index/esFiles.h"
#include "index/esRelative.h"
#include "model/Progress.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
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

const char* Group(ReferenceRow::Kind kind) {
    return kind == ReferenceRow::Ancestor ? "Ancestors" : kind == ReferenceRow::Descendant ? "Descendants" : "Mentions";
}
} // namespace

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
    resize(720, 480);
    UpdateNav();
}

int frmReferences::Locate(const std::string& fileKey, const std::string& type, const std::string& id,
                          const std::string& recordKey) const {
    const esfile* file = files_.Find(fileKey);
    return file ? FindRecord(*file, type, id, recordKey) : -1;
}

void frmReferences::Browse(const std::string& recordKey, bool remember) {
    esfile* file = files_.Find(fileKey_);
    const auto* pos = file ? file->esRecArrayIndex().Find(recordKey) : nullptr;
    if (!pos) return;
    const RecordEntry& r = file->Records()[static_cast<std::size_t>(pos->IndexNumber)];
    const Browsed b{fileKey_, r.Name, r.ID, r.Key};
    if (remember) {
        history_.resize(static_cast<std::size_t>(position_ + 1));
        history_.push_back(b);
        position_ = static_cast<int>(history_.size()) - 1;
    }
    Show(b);
}

void frmReferences::Show(const Browsed& b) {
    fileKey_ = b.fileKey;
    rows_.clear();
    seen_.clear();
    const int at = Locate(b.fileKey, b.type, b.id, b.recordKey);
    esfile* file = files_.Find(b.fileKey);
    if (at < 0 || !file) {
        record_->setText(FromFileText(b.id) + "  (" + QString::fromStdString(b.type) + ")  " + tr("is gone"));
        Fill();
        UpdateNav();
        return;
    }
    const QString type = QString::fromStdString(b.type);
    record_->setText(FromFileText(b.id) + "  (" + type + ")" +
                     (files_.Count() > 2 ? "  " + FromFileText(std::string(IndexTitle(*file))) : QString()));
    icon_->setPixmap(CommandIcon(type).pixmap(24, 24));
    rows_ = BrowseReferences(files_, b.fileKey, at, progress_);
    if (progress_) progress_->DoneWaiting();
    seen_.emplace_back(b.fileKey, file->Revision());
    for (const std::string& key : files_.Dependents(b.fileKey)) seen_.emplace_back(key, files_.Item(key).Revision());
    Fill();
    UpdateNav();
}

bool frmReferences::RefreshIfChanged() {
    if (position_ < 0) return false;
    std::vector<std::string> now = files_.Dependents(fileKey_);
    bool changed = now.size() + 1 != seen_.size();
    for (const auto& [key, revision] : seen_) {
        const esfile* f = files_.Find(key);
        changed = changed || !f || f->Revision() != revision;
    }
    if (!changed) return false;
    Show(history_[static_cast<std::size_t>(position_)]);
    return true;
}

void frmReferences::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) RefreshIfChanged();
}

void frmReferences::Fill() {
    filling_ = true;
    model_->clear();
    model_->setHorizontalHeaderLabels(
        {tr("Type"), tr("Record Type"), tr("ID"), tr("Subrecord"), tr("Property"), tr("File")});
    QStandardItem* groups[3] = {new QStandardItem("[Ancestors]"), new QStandardItem("[Descendants]"),
                                new QStandardItem("[Mentions]")};
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const ReferenceRow& row = rows_[static_cast<std::size_t>(i)];
        auto* type = new QStandardItem(Group(row.Type));
        type->setCheckable(true);
        type->setData(i, kRowRole);
        if (files_.Find(row.FileKey) &&
            files_.CheckedEntries(row.FileKey).GetChecked(esRelative::MakeKey(row.FileKey, row.RecordKey)))
            type->setCheckState(Qt::Checked);
        const esfile* file = files_.Find(row.FileKey);
        QList<QStandardItem*> cells{type,
                                    new QStandardItem(CommandIcon(QString::fromStdString(row.RecordType)),
                                                      QString::fromStdString(row.RecordType)),
                                    new QStandardItem(FromFileText(row.ID)),
                                    new QStandardItem(QString::fromStdString(row.SubrecordType)),
                                    new QStandardItem(FromFileText(row.PropertyName)),
                                    new QStandardItem(file ? FromFileText(std::string(IndexTitle(*file))) : QString())};
        groups[row.Type]->appendRow(cells);
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
    grid_->header()->resizeSection(0, 170);
    filling_ = false;
}

void frmReferences::OnTick(int row, bool ticked) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const ReferenceRow& r = rows_[static_cast<std::size_t>(row)];
    const int at = Locate(r.FileKey, r.RecordType, r.ID, r.RecordKey);
    if (at < 0) {
        RefreshIfChanged();
        return;
    }
    const std::string& recordKey = files_.Item(r.FileKey).Records()[static_cast<std::size_t>(at)].Key;
    const std::string key = esRelative::MakeKey(r.FileKey, recordKey);
    esCheckedEntries& checked = files_.CheckedEntries(r.FileKey);
    if (ticked)
        checked.Add(key, r.FileKey, recordKey);
    else
        checked.Remove(key);
    emit MarksChanged();
}

void frmReferences::GoToSelected() {
    if (RefreshIfChanged()) return; // the rows were out of date: the user sees them anew first
    const QModelIndex current = grid_->currentIndex();
    const QModelIndex first = current.sibling(current.row(), 0);
    if (!first.isValid() || !first.parent().isValid()) return; // a group heading
    const int row = first.data(kRowRole).toInt();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const ReferenceRow r = rows_[static_cast<std::size_t>(row)];
    const int at = Locate(r.FileKey, r.RecordType, r.ID, r.RecordKey);
    if (at < 0) return;
    const std::string recordKey = files_.Item(r.FileKey).Records()[static_cast<std::size_t>(at)].Key;
    emit GoTo(QString::fromStdString(r.FileKey), QString::fromStdString(recordKey));
    if (showNew_->isChecked()) {
        fileKey_ = r.FileKey;
        Browse(recordKey);
    }
}

void frmReferences::Back() {
    if (position_ <= 0) return;
    --position_;
    Show(history_[static_cast<std::size_t>(position_)]);
}

void frmReferences::Forward() {
    if (position_ + 1 >= static_cast<int>(history_.size())) return;
    ++position_;
    Show(history_[static_cast<std::size_t>(position_)]);
}

void frmReferences::UpdateNav() {
    back_->setEnabled(position_ > 0);
    forward_->setEnabled(position_ + 1 < static_cast<int>(history_.size()));
}

} // namespace vellum::ui
