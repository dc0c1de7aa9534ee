#include "ui/frmTemplateChooser.h"

#include "template/Startup.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace vellum::ui {

frmTemplateChooser::frmTemplateChooser(const std::filesystem::path& folder, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmTemplateChooser");
    setWindowTitle("Select a Template");
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    for (const auto& [caption, name] : Startup::TemplateFiles(folder)) {
        auto* item = new QListWidgetItem(QString::fromStdString(caption), list_);
        item->setData(Qt::UserRole, QString::fromStdString(name));
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void frmTemplateChooser::accept() {
    if (QListWidgetItem* item = list_->currentItem())
        chosen_ = item->data(Qt::UserRole).toString();
    QDialog::accept();
}

} // namespace vellum::ui
