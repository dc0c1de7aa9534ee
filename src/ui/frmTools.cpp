#include "ui/frmTools.h"

#include "template/Config.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/frmToolCategories.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vellum::ui {

frmTools::frmTools(Config& settings, std::filesystem::path signaturesFile, QWidget* parent)
    : QDialog(parent), settings_(settings), signaturesFile_(std::move(signaturesFile)), list_(settings),
      grid_(new QTableWidget(0, 4)), bar_(new QProgressBar), status_(new QLabel),
      cancelScan_(new QPushButton(tr("Cancel Scan"))) {
    setWindowTitle(tr("Manage/Scan for Additional Tools"));
    grid_->setHorizontalHeaderLabels({tr("Name"), tr("Path"), tr("Category"), tr("Document")});
    grid_->verticalHeader()->setVisible(false);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setColumnWidth(kName, 160);
    grid_->setColumnWidth(kPath, 320);
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column == kPath) Locate();
    });

    chooseFile = [this](const QString& title, const QString& startDir) {
        return QFileDialog::getOpenFileName(
            this, title, startDir, "Executables / Documents (*.exe *.bat *.txt *.rtf *.doc *.pdf *.htm);;All files (*)");
    };

    auto button = [this](const QString& text, void (frmTools::*slot)()) {
        auto* b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, slot);
        buttons_.append(b);
        return b;
    };
    auto* row = new QHBoxLayout;
    row->addWidget(button(tr("&Open..."), &frmTools::Locate));
    row->addWidget(button(tr("&Remove"), &frmTools::Remove));
    row->addWidget(button(tr("Remove &All"), &frmTools::RemoveAll));
    row->addWidget(button(tr("&Scan"), &frmTools::Scan));
    row->addWidget(button(tr("&Categories..."), &frmTools::Categories));
    row->addStretch();
    QPushButton* ok = button(tr("OK"), &frmTools::accept);
    ok->setDefault(true);
    row->addWidget(ok);
    auto* cancel = new QPushButton(tr("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(cancel);
    cancelScan_->setEnabled(false);
    connect(cancelScan_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    auto* progress = new QHBoxLayout;
    progress->addWidget(bar_, 1);
    progress->addWidget(cancelScan_);
    bar_->setRange(0, 100);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(row);
    layout->addLayout(progress);
    layout->addWidget(status_);
    resize(820, 480);
    Fill();
}

void frmTools::Fill(int select) {
    const auto& rows = list_.Rows();
    QStringList categories;
    for (const std::string& c : list_.CategoryChoices()) categories << FromFileText(c);
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ToolEntry& t = rows[static_cast<std::size_t>(r)];
        grid_->setItem(r, kName, new QTableWidgetItem(FromFileText(t.Name)));
        auto* path = new QTableWidgetItem(FromFileText(t.Path));
        path->setFlags(path->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(r, kPath, path);
        auto* category = new QComboBox;
        category->addItems(categories);
        category->setCurrentText(FromFileText(t.Category));
        grid_->setCellWidget(r, kCategory, category);
        auto* document = new QTableWidgetItem;
        document->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        document->setCheckState(t.Document ? Qt::Checked : Qt::Unchecked);
        grid_->setItem(r, kDocument, document);
    }
    if (select >= 0) grid_->setCurrentCell(select, kName);
}

void frmTools::Pull() {
    auto& rows = list_.Rows();
    for (int r = 0; r < grid_->rowCount() && r < static_cast<int>(rows.size()); ++r) {
        ToolEntry& t = rows[static_cast<std::size_t>(r)];
        if (const auto* name = grid_->item(r, kName); name && !name->text().trimmed().isEmpty())
            t.Name = ToFileText(name->text().trimmed());
        if (const auto* category = qobject_cast<QComboBox*>(grid_->cellWidget(r, kCategory)))
            t.Category = ToFileText(category->currentText());
        if (const auto* document = grid_->item(r, kDocument)) t.Document = document->checkState() == Qt::Checked;
    }
}

void frmTools::Locate() {
    Pull();
    const int row = grid_->currentRow();
    const QString name = row >= 0 ? grid_->item(row, kName)->text() : QString();
    const QString file = chooseFile(QString::fromStdString(std::string(ToolList::kLocateTitle)) + name,
                                    QDir::homePath());
    if (file.isEmpty()) return;
    const std::size_t changed = list_.Locate(row, file.toStdString());
    Fill(static_cast<int>(changed));
}

void frmTools::Remove() {
    Pull();
    const int row = grid_->currentRow();
    if (row >= 0 && list_.Remove(static_cast<std::size_t>(row))) Fill(std::min(row, grid_->rowCount() - 2));
}

void frmTools::RemoveAll() {
    Pull();
    if (list_.RemoveAll()) Fill();
}

void frmTools::Scan() {
    Pull();
    Config signatures;
    signatures.OpenFile(signaturesFile_.string());
    cancelled_ = false;
    for (QPushButton* b : buttons_) b->setEnabled(false);
    cancelScan_->setEnabled(true);
    {
        BusyGuard busy;
        list_.Scan(signatures, this, scanRoots ? scanRoots() : std::vector<std::filesystem::path>{});
    }
    DoneWaiting();
    cancelScan_->setEnabled(false);
    for (QPushButton* b : buttons_) b->setEnabled(true);
    Fill();
}

void frmTools::Categories() {
    Pull();
    list_.Save();
    frmToolCategories categories(settings_, this);
    categories.exec();
    list_.Load();
    Fill();
}

void frmTools::accept() {
    Pull();
    list_.Save();
    QDialog::accept();
}

void frmTools::Waiting(double percent, std::string_view text) {
    if (percent >= 0) bar_->setValue(static_cast<int>(std::min(percent, 100.0)));
    status_->setText(FromFileText(text));
    QApplication::processEvents();
}

void frmTools::DoneWaiting() {
    bar_->setValue(0);
    status_->clear();
}

} // namespace vellum::ui
