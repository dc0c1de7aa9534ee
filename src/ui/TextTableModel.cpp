#include "ui/TextTableModel.h"

namespace vellum::ui {

TextTableModel::TextTableModel(QStringList headers, QObject* parent)
    : GridModel(std::move(headers), parent) {}

void TextTableModel::SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TextTableModel::Append(std::vector<Row> rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

void TextTableModel::MoveRow(int from, int to) {
    const int n = static_cast<int>(rows_.size());
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    Row r = std::move(rows_[static_cast<std::size_t>(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(r));
    endMoveRows();
}

void TextTableModel::SetCell(int row, int column, const QString& text) {
    Row& r = At(row);
    while (r.cells.size() <= column) r.cells.append(QString());
    r.cells[column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (!HasCell(index)) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return r.cells.value(index.column());
    case Qt::DecorationRole:
        return index.column() == 0 && !r.icon.isNull() ? QVariant(r.icon) : QVariant();
    case Qt::CheckStateRole:
        return index.column() == checkColumn_ && r.checkable ? QVariant(r.checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::UserRole:
        return r.key;
    default:
        return {};
    }
}

bool TextTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != checkColumn_) return false;
    Row& r = At(index.row());
    if (!r.checkable) return false;
    r.checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index);
    emit CheckToggled(index.row(), r.checked);
    return true;
}

Qt::ItemFlags TextTableModel::CellFlags(const QModelIndex& index) const {
    return index.column() == checkColumn_ && At(index.row()).checkable ? Qt::ItemIsUserCheckable : Qt::NoItemFlags;
}

} // namespace vellum::ui
