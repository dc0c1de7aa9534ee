#include "ui/frmClean.h"

#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

frmClean::frmClean(esfile& plugin, const std::vector<esfile*>& masters, const DirtySettings& dirty,
                   ReferenceIndexBuilder* indexer, Progress* progress, QWidget* parent)
    : QDialog(parent), plugin_(plugin), indexer_(indexer), progress_(progress),
      items_(Cleaner::Find(plugin, masters, dirty, progress)), records_(plugin.LastIndex()),
      model_(new TextTableModel({tr("Record"), tr("Reason")}, this)), grid_(new QTableView), count_(new QLabel),
      remove_(new QPushButton(tr("&Remove Ticked"))) {
    if (progress) progress->DoneWaiting();
    setWindowTitle(tr("Clean Plug-in - %1").arg(FromFileText(plugin.FileTitle)));
    grid_->setObjectName("CleanList");
    remove_->setObjectName("Remove");
    grid_->setModel(model_);
    ConfigureListGrid(grid_);

    std::vector<TextTableModel::Row> rows;
    for (const Cleaner::Item& item : items_) {
        const QString type = QString::fromStdString(item.type);
        const QString reason = item.WholeRecord() ? QString::fromStdString(item.reason)
                                                  : tr("%1 references %2").arg(item.references).arg(QString::fromStdString(item.reason));
        TextTableModel::Row row{{type + " " + FromFileText(item.id), reason}, QString::number(item.record), CommandIcon(type)};
        row.checkable = true;
        row.checked = true;
        rows.push_back(std::move(row));
    }
    model_->SetRows(std::move(rows));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(remove_, QDialogButtonBox::AcceptRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(items_.empty() ? tr("Nothing in this plug-in needs cleaning.")
                                                : tr("Untick what should stay; the ticked entries are removed.")));
    layout->addWidget(grid_, 1);
    layout->addWidget(count_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove_, &QPushButton::clicked, this, [this] { RemoveTicked(); });
    connect(model_, &TextTableModel::CheckToggled, this, [this] { UpdateCount(); });
    UpdateCount();
    resize(700, 560);
}

void frmClean::UpdateCount() {
    int ticked = 0;
    for (const auto& row : model_->Rows()) ticked += row.checked;
    count_->setText(tr("%1 of %2 entries ticked").arg(ticked).arg(items_.size()));
    remove_->setEnabled(ticked > 0);
}

int frmClean::RemoveTicked() {
    std::vector<Cleaner::Item> chosen;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (model_->At(static_cast<int>(i)).checked) chosen.push_back(items_[i]);
    removed_ = Cleaner::Apply(plugin_, chosen, progress_, indexer_);
    if (progress_) progress_->DoneWaiting();
    CurrentPrompt().Message(Cleaner::Summary(removed_, records_));
    accept();
    return removed_;
}

} // namespace vellum::ui
