#pragma once

#include <QStyledItemDelegate>

namespace vellum::ui {

class ConfigGridModel;

// Edits the value of a format template's property line in a drop-down that offers the line's
// type with each list of names that suits it; any text can still be typed. Other cells edit as
// plain text.
class ConfigValueDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ConfigValueDelegate(const ConfigGridModel& model, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    const ConfigGridModel& model_;
};

} // namespace vellum::ui
