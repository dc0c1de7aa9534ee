#include "ui/ChoiceDialog.h"

#include "ui/ListGrid.h"

#include <QDialogButtonBox>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

ChoiceDialog::ChoiceDialog(const QString& title, QStringList headers, QWidget* parent)
    : QDialog(parent), model_(new TextTableModel(std::move(headers), this)), list_(new QTableView) {
    setWindowTitle(title);
    list_->setModel(model_);
    ConfigureListGrid(list_);
    list_->setShowGrid(false);
    connect(list_, &QTableView::doubleClicked, this, &ChoiceDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChoiceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(list_, 1);
    layout_->addWidget(buttons);
    resize(420, 460);
}

bool ChoiceDialog::Select(const QString& key) {
    for (int r = 0; r < model_->rowCount(); ++r) {
        if (model_->At(r).key == key) {
            list_->setCurrentIndex(model_->index(r, 0));
            list_->scrollTo(model_->index(r, 0), QAbstractItemView::PositionAtCenter);
            return true;
        }
    }
    return false;
}

void ChoiceDialog::accept() {
    const QModelIndex current = list_->currentIndex();
    result_ = current.isValid() ? model_->At(current.row()).key : QString();
    QDialog::accept();
}

} // namespace vellum::ui
