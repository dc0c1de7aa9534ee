#include "ui/frmTemplateChooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QVBoxLayout>

namespace vellum::ui {

frmTemplateChooser::frmTemplateChooser(const std::filesystem::path& folder, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmTemplateChooser");
    setWindowTitle("Select a Template");
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    const QDir dir(QString::fromStdString(folder.string()));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(name.size() > 4 ? name.left(name.size() - 4) : name, list_);
        item->setData(Qt::UserRole, name);
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
