#include "ui/ConfigValueDelegate.h"

#include "ui/ConfigGridModel.h"

#include <QComboBox>
#include <QLineEdit>

namespace vellum::ui {

QWidget* ConfigValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    const std::vector<std::string> choices = model_.ValueChoices(index.row());
    if (index.column() != 1 || choices.empty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    box->setObjectName("ValueChoices");
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& c : choices)
        box->addItem(QString::fromStdString(c));
    return box;
}

void ConfigValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setEditText(index.data(Qt::EditRole).toString());
        box->lineEdit()->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ConfigValueDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText());
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace vellum::ui
