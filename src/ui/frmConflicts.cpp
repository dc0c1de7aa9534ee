#include "ui/frmConflicts.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "tools/VersionCopy.h"
#include "ui/ComparisonModel.h"
#include "ui/ConflictFilterModel.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vellum::ui {

namespace {

std::string NameOf(const esfile& f) {
    return f.FileTitle.empty() ? QFileInfo(QString::fromStdString(f.FileName)).fileName().toStdString() : f.FileTitle;
}

QString Joined(const std::vector<std::string>& parts) {
    QStringList out;
    for (const std::string& p : parts) out << QString::fromStdString(p);
    return out.join(QStringLiteral(", "));
}

} // namespace

frmConflicts::frmConflicts(std::vector<esfile*> loadOrder, std::vector<esfile*> editable, QWidget* parent)
    : QDialog(parent), files_(std::move(loadOrder)), editable_(std::move(editable)),
      model_(new TextTableModel({tr("Type"), tr("ID"), tr("Files"), tr("Winner"), tr("Versions")}, this)),
      proxy_(new ConflictFilterModel(this)), rows_(new ComparisonModel(this)), list_(new QTableView),
      comparison_(new QTableView), differsOnly_(new QCheckBox(tr("Only records whose versions &differ"))),
      filter_(new QLineEdit), count_(new QLabel), target_(new QComboBox), copy_(new QPushButton(tr("&Copy Value"))),
      copyRecord_(new QPushButton(tr("Copy &Whole Record"))) {
    setWindowTitle(tr("Conflicts"));
    list_->setObjectName("ConflictList");
    comparison_->setObjectName("Comparison");
    differsOnly_->setObjectName("DiffersOnly");
    filter_->setObjectName("Filter");
    target_->setObjectName("Target");
    copy_->setObjectName("Copy");
    copyRecord_->setObjectName("CopyRecord");
    for (const esfile* f : files_) names_.push_back(NameOf(*f));

    proxy_->setSourceModel(model_);
    list_->setModel(proxy_);
    ConfigureListGrid(list_);
    comparison_->setModel(rows_);
    comparison_->setSelectionBehavior(QAbstractItemView::SelectItems);
    comparison_->setSelectionMode(QAbstractItemView::SingleSelection);
    comparison_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    comparison_->verticalHeader()->hide();
    filter_->setPlaceholderText(tr("Type or ID"));
    filter_->setClearButtonEnabled(true);
    for (const esfile* f : editable_) target_->addItem(QString::fromStdString(NameOf(*f)), QString::fromStdString(f->FileName));

    auto* top = new QHBoxLayout;
    auto* filterLabel = new QLabel(tr("&Filter:"));
    filterLabel->setBuddy(filter_);
    top->addWidget(differsOnly_);
    top->addWidget(filterLabel);
    top->addWidget(filter_, 1);
    top->addWidget(count_);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(list_);
    split->addWidget(comparison_);
    split->setStretchFactor(1, 1);
    auto* copyRow = new QHBoxLayout;
    auto* into = new QLabel(tr("Copy &into:"));
    into->setBuddy(target_);
    copyRow->addWidget(into);
    copyRow->addWidget(target_, 1);
    copyRow->addWidget(copy_);
    copyRow->addWidget(copyRecord_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(copyRow);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(differsOnly_, &QCheckBox::toggled, this, [this](bool on) {
        proxy_->SetDiffersOnly(on);
        ShowSelected();
    });
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& t) {
        proxy_->SetText(t);
        ShowSelected();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { ShowSelected(); });
    connect(copy_, &QPushButton::clicked, this, [this] { CopySelected(); });
    connect(copyRecord_, &QPushButton::clicked, this, [this] { CopyRecord(); });
    const bool canCopy = !editable_.empty();
    copy_->setEnabled(canCopy);
    copyRecord_->setEnabled(canCopy);
    target_->setEnabled(canCopy);
    Refresh();
    resize(1000, 700);
}

void frmConflicts::Refresh() {
    const Conflicts::Entry* before = SelectedEntry();
    const QString key = before ? QString::fromStdString(before->type + " " + before->id) : QString();
    entries_ = Conflicts::Find(files_);
    std::vector<TextTableModel::Row> rows;
    rows.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Conflicts::Entry& e = entries_[i];
        std::vector<std::string> files;
        for (std::size_t f : e.files) files.push_back(names_[f]);
        const QString versions = e.Identical() ? tr("identical") : QStringLiteral("differs ") + Joined(e.differing);
        const QString type = QString::fromStdString(e.type);
        rows.push_back({{type, FromFileText(e.id), Joined(files), QString::fromStdString(names_[e.files.back()]), versions},
                        QString::number(i), CommandIcon(type)});
    }
    model_->SetRows(std::move(rows));
    list_->resizeColumnsToContents();
    const std::size_t differing =
        std::count_if(entries_.begin(), entries_.end(), [](const Conflicts::Entry& e) { return !e.Identical(); });
    count_->setText(tr("%1 records in more than one file, %2 differing").arg(entries_.size()).arg(differing));
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        const QModelIndex i = proxy_->index(r, 0);
        const auto& e = entries_[static_cast<std::size_t>(proxy_->mapToSource(i).row())];
        if (QString::fromStdString(e.type + " " + e.id) == key) {
            list_->setCurrentIndex(i);
            break;
        }
    }
    ShowSelected();
}

const Conflicts::Entry* frmConflicts::SelectedEntry() const {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return nullptr;
    const int row = proxy_->mapToSource(current).row();
    return row >= 0 && row < static_cast<int>(entries_.size()) ? &entries_[static_cast<std::size_t>(row)] : nullptr;
}

void frmConflicts::ShowSelected() {
    const Conflicts::Entry* e = SelectedEntry();
    if (!e) {
        rows_->SetComparison(nullptr, {});
        return;
    }
    std::vector<RecordComparison::Version> versions;
    QStringList names;
    for (std::size_t k = 0; k < e->files.size(); ++k) {
        versions.push_back({files_[e->files[k]], e->records[k]});
        names << QString::fromStdString(names_[e->files[k]]);
    }
    rows_->SetComparison(std::make_unique<RecordComparison>(std::move(versions)), names);
    // The names fit their columns; the versions share the rest of the width evenly.
    QHeaderView* header = comparison_->horizontalHeader();
    for (int c = 0; c < rows_->columnCount(); ++c)
        header->setSectionResizeMode(c, c < ComparisonModel::kFirstVersion ? QHeaderView::ResizeToContents
                                                                         : QHeaderView::Stretch);
}

const esfile* frmConflicts::SelectedVersion(int& record) const {
    const Conflicts::Entry* e = SelectedEntry();
    const QModelIndex cell = comparison_->currentIndex();
    const int column = cell.isValid() ? cell.column() - ComparisonModel::kFirstVersion : -1;
    if (!e || column < 0 || column >= static_cast<int>(e->files.size())) {
        CurrentPrompt().Message("Select the value of one file's version first.");
        return nullptr;
    }
    record = e->records[static_cast<std::size_t>(column)];
    return files_[e->files[static_cast<std::size_t>(column)]];
}

bool frmConflicts::AfterCopy(bool copied) {
    if (!copied) return false;
    const QString key = target_->currentData().toString();
    Refresh();
    emit FileChanged(key);
    return true;
}

esfile* frmConflicts::TargetFor(const esfile* source) const {
    if (!source || target_->currentIndex() < 0) return nullptr;
    esfile* target = editable_[static_cast<std::size_t>(target_->currentIndex())];
    if (target != source) return target;
    CurrentPrompt().Message("That version is the chosen plug-in's own.");
    return nullptr;
}

bool frmConflicts::CopySelected() {
    int record = -1;
    const esfile* source = SelectedVersion(record);
    esfile* target = TargetFor(source);
    if (!target) return false;
    const auto& row = rows_->Comparison()->Rows()[static_cast<std::size_t>(comparison_->currentIndex().row())];
    return AfterCopy(row.property.empty()
                         ? VersionCopy::Subrecord(*target, *source, record, row.subrecord, row.occurrence)
                         : VersionCopy::Property(*target, *source, record, row.subrecord, row.occurrence, row.property));
}

bool frmConflicts::CopyRecord() {
    int record = -1;
    const esfile* source = SelectedVersion(record);
    esfile* target = TargetFor(source);
    return target && AfterCopy(VersionCopy::Record(*target, *source, record));
}

} // namespace vellum::ui
