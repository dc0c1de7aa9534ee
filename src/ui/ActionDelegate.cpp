#include "ui/ActionDelegate.h"

#include "ui/RelativesModel.h"

#include <QComboBox>

namespace vellum::ui {

QWidget* ActionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    const QStringList names = RelativesModel::ActionNames();
    for (int i = 0; i < names.size(); ++i) box->addItem(names[i], i - 1);
    return box;
}

void ActionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(box->findData(index.data(Qt::EditRole).toInt()));
}

void ActionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
}

} // namespace vellum::ui
