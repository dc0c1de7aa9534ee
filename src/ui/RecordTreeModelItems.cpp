// The item side of the record tree model: indexes, captions, colours, check boxes.
#include "ui/RecordTreeModel.h"

#include "index/esCheckedEntries.h"
#include "model/esfile.h"
#include "template/ListedID.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QBrush>
#include <QColor>

namespace vellum::ui {
namespace {
constexpr quintptr kSubrecordId = ~quintptr(0);
}

QModelIndex RecordTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid())
        return row < static_cast<int>(categories_.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    switch (LevelOf(parent)) {
    case kCategory:
        if (row < RowCount(categories_[parent.row()]))
            return createIndex(row, 0, quintptr(parent.row() + 1));
        return {};
    case kRecord:
        if (parent.internalId() - 1 == quintptr(openCat_) && parent.row() == RowOf(categories_[openCat_], openAt_) &&
            row < static_cast<int>(subrecords_.size()))
            return createIndex(row, 0, kSubrecordId);
        return {};
    default: return {};
    }
}

QModelIndex RecordTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    switch (LevelOf(child)) {
    case kCategory: return {};
    case kRecord: return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
    case kSubrecord: return createIndex(RowOf(categories_[openCat_], openAt_), 0, quintptr(openCat_ + 1));
    }
    return {};
}

int RecordTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(categories_.size());
    switch (LevelOf(parent)) {
    case kCategory: return RowCount(categories_[parent.row()]);
    case kRecord:
        return parent.internalId() - 1 == quintptr(openCat_) && parent.row() == RowOf(categories_[openCat_], openAt_)
                   ? static_cast<int>(subrecords_.size())
                   : 0;
    default: return 0;
    }
}

bool RecordTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return !categories_.empty();
    switch (LevelOf(parent)) {
    case kCategory: return categories_[parent.row()].shownCount > 0; // expandable before it is built
    case kRecord: return true;
    default: return false;
    }
}

QString RecordTreeModel::CategoryCaption(const CategoryNode& c) const {
    QString caption = FromFileText(c.caption);
    if (viewRecordTypes_)
        caption = FromFileText(c.type) + QLatin1Char(' ') + caption;
    if (c.count > 0 && filtered_)
        caption += QStringLiteral("  (%1 of %2)").arg(c.shownCount).arg(c.count);
    else if (c.count > 0)
        caption += QStringLiteral("  (%1)").arg(c.count);
    return caption;
}

QString RecordTreeModel::RecordCaption(const RecordNode& r) const {
    const auto& records = file_->Records();
    if (r.position < 0 || r.position >= static_cast<int>(records.size()))
        return FromFileText(r.key);
    const RecordEntry& e = records[r.position];
    std::string id = ListedID::Of(e.Name, e.ID).caption;
    if (id.size() > 35)
        id = id.substr(0, 32) + "...";
    return FromFileText(e.Name + " " + id);
}

QVariant RecordTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !file_)
        return {};
    if (QVariant change = ChangeData(index, role); change.isValid())
        return change;
    const Level level = LevelOf(index);
    switch (role) {
    case Qt::DisplayRole:
        if (level == kCategory)
            return CategoryCaption(categories_[index.row()]);
        if (level == kRecord)
            return RecordCaption(RecordAt(categories_[index.internalId() - 1], index.row()));
        return FromFileText(subrecords_[index.row()].caption);
    case Qt::DecorationRole:
        if (level == kSubrecord) {
            const int req = subrecords_[index.row()].requirement;
            return CommandIcon(req == 2 ? "SubRecordRequiredRecord" : req == 1 ? "SubRecordRequiredGroup" : "SubRecord");
        } else {
            const CategoryNode& c = categories_[level == kCategory ? index.row() : index.internalId() - 1];
            return CommandIcon(c.unknown ? QStringLiteral("Unknown") : QString::fromStdString(c.type));
        }
    case Qt::ForegroundRole:
        if (level == kCategory && categories_[index.row()].shownCount == 0)
            return QBrush(QColor(0xA0, 0xA0, 0xA0));
        return QBrush(Qt::black);
    case Qt::BackgroundRole:
        if (level == kSubrecord)
            return QBrush(subrecords_[index.row()].band ? QColor(0xEF, 0xEF, 0xEF) : QColor(0xFF, 0xFF, 0xFF));
        return {};
    case Qt::CheckStateRole: return IsMarked(index) ? Qt::Checked : Qt::Unchecked;
    case KeyRole: return QString::fromStdString(KeyOf(index));
    case MarkedKeyRole: return QString::fromStdString(MarkedKeyOf(index));
    default: return {};
    }
}

Qt::ItemFlags RecordTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (LevelOf(index) == kSubrecord)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

std::size_t RecordTreeModel::MarkCount() const { return catMarks_.Count() + (checked_ ? checked_->Count() : 0); }

bool RecordTreeModel::IsMarked(const QModelIndex& index) const {
    if (LevelOf(index) == kCategory)
        return catMarks_.Exists(KeyOf(index));
    return checked_ && checked_->GetChecked(MarkedKeyOf(index));
}

void RecordTreeModel::SetRecordMark(const std::string& recordKey, bool on) {
    if (!checked_)
        return;
    if (on)
        checked_->Add(recordKey, fileKey_, recordKey);
    else
        checked_->Remove(recordKey);
}

void RecordTreeModel::SetSubrecordMark(const std::string& recordKey, const std::string& subKey, bool on) {
    if (!checked_)
        return;
    const std::string key = recordKey + "." + subKey;
    if (on)
        checked_->Add(key, fileKey_, recordKey, subKey);
    else
        checked_->Remove(key);
}

void RecordTreeModel::SetMark(const QModelIndex& index, bool on) {
    switch (LevelOf(index)) {
    case kCategory: {
        const std::string type = KeyOf(index);
        if (on)
            catMarks_.Add(type, 1);
        else
            catMarks_.Remove(type);
        // Every record of the category the filter keeps, also those without a node yet.
        if (const auto* cat = file_->esRecArrayCatIndex().Item(type))
            for (const auto& e : cat->esRecArrayCatEntries)
                if (!filtered_ || filter_.Keeps(*file_, e.value.IndexNumber))
                    SetRecordMark(e.key, on);
        break;
    }
    case kRecord: SetRecordMark(KeyOf(index), on); break;
    case kSubrecord: SetSubrecordMark(openRecordKey_, KeyOf(index), on); break;
    }
}

void RecordTreeModel::SetMarkRecursive(const QModelIndex& index, bool on) {
    SetMark(index, on);
    const int rows = rowCount(index);
    for (int r = 0; r < rows; ++r)
        SetMarkRecursive(this->index(r, 0, index), on);
    if (rows > 0)
        emit dataChanged(this->index(0, 0, index), this->index(rows - 1, 0, index), {Qt::CheckStateRole});
}

bool RecordTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid())
        return false;
    const bool on = value.toInt() == Qt::Checked;
    if (!on) {
        // Clearing a node clears its parent, whose mark goes too.
        const QModelIndex p = index.parent();
        if (p.isValid() && IsMarked(p)) {
            if (LevelOf(p) == kCategory)
                catMarks_.Remove(KeyOf(p)); // only the category's own tick: its other records stay
            else
                SetMark(p, false);
            emit dataChanged(p, p, {Qt::CheckStateRole});
        }
    }
    SetMarkRecursive(index, on);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit marksChanged();
    return true;
}

} // namespace vellum::ui
