#include "ui/GridModel.h"

namespace vellum::ui {

GridModel::GridModel(QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), headings_(std::move(headings)) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : RowTotal(); }

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!HasCell(index)) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | CellFlags(index);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return headings_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vellum::ui
