#include "ui/ComparisonModel.h"

#include "ui/LegacyText.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPalette>

namespace vellum::ui {

ComparisonModel::ComparisonModel(QObject* parent) : GridModel({tr("Subrecord"), tr("Property")}, parent) {}

void ComparisonModel::SetComparison(std::unique_ptr<RecordComparison> comparison, const QStringList& names) {
    beginResetModel();
    comparison_ = std::move(comparison);
    names_ = names;
    endResetModel();
}

int ComparisonModel::RowTotal() const { return comparison_ ? static_cast<int>(comparison_->Rows().size()) : 0; }

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstVersion + static_cast<int>(names_.size());
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= kFirstVersion &&
        section - kFirstVersion < names_.size())
        return names_.at(section - kFirstVersion);
    return GridModel::headerData(section, orientation, role);
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!HasCell(index) || index.column() >= columnCount()) return {};
    const RecordComparison::Row& row = comparison_->Rows()[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        if (column == 0) return row.property.empty() ? QString::fromStdString(row.subrecord) : QString();
        if (column == 1) return FromFileText(row.property);
        const auto& value = row.values[static_cast<std::size_t>(column - kFirstVersion)];
        return value ? FromFileText(*value) : (row.property.empty() ? tr("(absent)") : QString());
    }
    case Qt::FontRole:
        if (row.property.empty()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        if (row.differs && column >= kFirstVersion) return QBrush(QColor(255, 226, 160));
        return {};
    default: return {};
    }
}

} // namespace vellum::ui
