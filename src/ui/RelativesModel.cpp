#include "ui/RelativesModel.h"

#include "index/esRelatives.h"
#include "ui/LegacyText.h"

#include <QFileInfo>

namespace vellum::ui {

RelativesModel::RelativesModel(esRelatives& relatives, Filter filter, QObject* parent)
    : GridModel({"Action", "Record", "ID", "Subrecord", "Type", "Generation", "Found through", "File", "Found in"},
                parent),
      relatives_(relatives), filter_(std::move(filter)) {
    Refresh();
}

void RelativesModel::Refresh() {
    beginResetModel();
    positions_.clear();
    for (std::size_t i = 1; i <= relatives_.Count(); ++i)
        if (filter_(relatives_.Item(i))) positions_.push_back(i);
    endResetModel();
}

esRelative& RelativesModel::Entry(int row) { return relatives_.Item(positions_.at(static_cast<std::size_t>(row))); }

void RelativesModel::SetAllActions(int action) {
    for (int r = 0; r < rowCount(); ++r) Entry(r).Action = action;
    if (rowCount() > 0) emit dataChanged(index(0, kAction), index(rowCount() - 1, kAction));
}

QStringList RelativesModel::ActionNames() { return {"No Action", "Delete", "Cut", "Copy", "Clear"}; }

QString RelativesModel::ActionName(int action) { return ActionNames().value(action + 1, "No Action"); }

QVariant RelativesModel::data(const QModelIndex& index, int role) const {
    if (!HasCell(index)) return {};
    const esRelative& e = relatives_.Item(positions_[static_cast<std::size_t>(index.row())]);
    if (role == Qt::EditRole && index.column() == kAction) return e.Action;
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case kAction: return ActionName(e.Action);
    case kRecord: return QString::fromStdString(e.RecordKey);
    case kID: return FromFileText(e.ID);
    case kSubrecord: return QString::fromStdString(e.SubRecordKey);
    case kType: return QString::fromStdString(e.RecordType);
    case kGeneration: return e.Generation;
    case kFoundThrough:
        return e.RelatedRecordKey.empty() ? QString()
                                          : QString::fromStdString(e.RelatedRecordKey +
                                                                   (e.RelatedSubRecordKey.empty() ? "" : " / " + e.RelatedSubRecordKey));
    case kFile: return QFileInfo(QString::fromStdString(e.FileKey)).fileName();
    case kFoundIn: return FoundIn(e.Mention);
    default: return {};
    }
}

QString RelativesModel::FoundIn(MentionKind kind) {
    switch (kind) {
    case MentionKind::ResultScript: return "result script";
    case MentionKind::ScriptSource: return "script source";
    case MentionKind::Condition: return "condition";
    default: return {};
    }
}

bool RelativesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != kAction || index.row() >= rowCount()) return false;
    const int action = value.toInt();
    if (action < -1 || action > 3) return false;
    Entry(index.row()).Action = action;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags RelativesModel::CellFlags(const QModelIndex& index) const {
    return index.column() == kAction ? Qt::ItemIsEditable : Qt::NoItemFlags;
}

} // namespace vellum::ui
