#include "ui/frmHistory.h"

#include "index/UndoHistory.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace vellum::ui {

frmHistory::frmHistory(const UndoHistory& history, QWidget* parent) : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle("History");
    setObjectName("frmHistory");
    list_->setObjectName("lstSteps");
    list_->addItem("(as opened)");
    for (std::size_t i = 1; i <= history.Count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(history.Step(i).Name), list_);
        // Steps past the current one are the ones Redo would bring back.
        if (i > history.Position()) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    list_->setCurrentRow(static_cast<int>(history.Position()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(this, &QDialog::accepted, this, [this] { chosen_ = list_->currentRow(); });
    resize(360, 420);
}

} // namespace vellum::ui
