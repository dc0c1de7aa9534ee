#include "ui/frmToolCategories.h"

#include "ui/LegacyText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vellum::ui {

frmToolCategories::frmToolCategories(Config& settings, QWidget* parent)
    : QDialog(parent), categories_(settings), grid_(new QTableWidget(0, 2)) {
    setWindowTitle(tr("Tool Categories"));
    grid_->setHorizontalHeaderLabels({tr("Category"), tr("Order")});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setColumnWidth(0, 240);
    grid_->verticalHeader()->setVisible(false);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* up = buttons->addButton(tr("&Up"), QDialogButtonBox::ActionRole);
    QPushButton* down = buttons->addButton(tr("&Down"), QDialogButtonBox::ActionRole);
    connect(up, &QPushButton::clicked, this, &frmToolCategories::MoveUp);
    connect(down, &QPushButton::clicked, this, &frmToolCategories::MoveDown);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmToolCategories::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
    resize(380, 400);
    Fill(0);
}

void frmToolCategories::Fill(int select) {
    const auto& rows = categories_.Rows();
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        grid_->setItem(r, 0, new QTableWidgetItem(FromFileText(rows[static_cast<std::size_t>(r)].Name)));
        auto* order = new QTableWidgetItem(QString::number(r + 1));
        order->setFlags(order->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(r, 1, order);
    }
    if (select >= 0 && select < grid_->rowCount()) grid_->setCurrentCell(select, 0);
}

// Names edited in the grid go into the rows before anything moves them.
void frmToolCategories::Pull() {
    auto& rows = categories_.Rows();
    for (int r = 0; r < grid_->rowCount() && r < static_cast<int>(rows.size()); ++r)
        if (const QTableWidgetItem* item = grid_->item(r, 0); item && !item->text().trimmed().isEmpty())
            rows[static_cast<std::size_t>(r)].Name = ToFileText(item->text().trimmed());
}

void frmToolCategories::MoveUp() {
    Pull();
    const int row = grid_->currentRow();
    if (row >= 0 && categories_.Up(static_cast<std::size_t>(row))) Fill(row - 1);
}

void frmToolCategories::MoveDown() {
    Pull();
    const int row = grid_->currentRow();
    if (row >= 0 && categories_.Down(static_cast<std::size_t>(row))) Fill(row + 1);
}

void frmToolCategories::accept() {
    Pull();
    categories_.Save();
    QDialog::accept();
}

} // namespace vellum::ui
