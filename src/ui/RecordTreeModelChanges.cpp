// What changed since the file was loaded, as the record tree shows it: a colour and a badge on
// added and changed records, bold categories holding changes, counts in the tooltips.
#include "ui/RecordTreeModel.h"

#include "model/esfile.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace vellum::ui {
namespace {

QString Legend() {
    return RecordTreeModel::tr("Green with +: added since the file was loaded\n"
                               "Orange with a dot: changed since the file was loaded\n"
                               "Bold type: holds added, changed or deleted records");
}

} // namespace

RecordChange RecordTreeModel::ChangeOfRecord(const QModelIndex& index) const {
    const RecordNode& r = RecordAt(categories_[index.internalId() - 1], index.row());
    if (r.position < 0 || r.position >= static_cast<int>(file_->Records().size()))
        return RecordChange::Unchanged;
    return file_->ChangeOf(r.position);
}

const FileStatistics::TypeCount& RecordTreeModel::ChangesIn(int category) const {
    // A save rewrites the header's record count without a new revision, and clears the flag.
    if (countedSerial_ != file_->Serial() || countedRevision_ != file_->Revision() ||
        countedChanged_ != bool(file_->Changed) || changeCounts_.size() != categories_.size()) {
        changeCounts_.clear();
        for (const CategoryNode& c : categories_)
            changeCounts_.push_back(FileStatistics::CountOf(*file_, c.type));
        countedSerial_ = file_->Serial();
        countedRevision_ = file_->Revision();
        countedChanged_ = bool(file_->Changed);
    }
    return changeCounts_[static_cast<std::size_t>(category)];
}

QVariant RecordTreeModel::ChangeData(const QModelIndex& index, int role) const {
    const Level level = LevelOf(index);
    if (level == kSubrecord)
        return {};
    const CategoryNode& c = categories_[level == kCategory ? index.row() : index.internalId() - 1];
    if (level == kCategory) {
        const FileStatistics::TypeCount& n = ChangesIn(index.row());
        switch (role) {
        case ChangeRole: return static_cast<int>(n.HasChanges() ? RecordChange::Changed : RecordChange::Unchanged);
        case Qt::FontRole: {
            if (!n.HasChanges())
                return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::DecorationRole:
            return n.HasChanges() ? MarkedIcon(c.unknown ? QStringLiteral("Unknown") : QString::fromStdString(c.type),
                                               QStringLiteral("Changed"))
                                  : QVariant();
        case Qt::ToolTipRole: {
            const QString type = FromFileText(c.type);
            const QString counts =
                n.HasChanges() ? tr("%1: %2 added, %3 changed, %4 deleted since the file was loaded")
                                     .arg(type)
                                     .arg(n.Added)
                                     .arg(n.Changed)
                                     .arg(n.Deleted)
                               : tr("%1: nothing added, changed or deleted since the file was loaded").arg(type);
            return counts + QStringLiteral("\n\n") + Legend();
        }
        default: return {};
        }
    }
    if (role != ChangeRole && role != Qt::ForegroundRole && role != Qt::DecorationRole && role != Qt::ToolTipRole)
        return {};
    const RecordChange change = ChangeOfRecord(index);
    if (role == ChangeRole)
        return static_cast<int>(change);
    if (change == RecordChange::Unchanged)
        return {};
    const bool added = change == RecordChange::Added;
    switch (role) {
    case Qt::ForegroundRole: return QBrush(added ? QColor(0x1E, 0x8C, 0x28) : QColor(0xC8, 0x64, 0x00));
    case Qt::DecorationRole:
        return MarkedIcon(c.unknown ? QStringLiteral("Unknown") : QString::fromStdString(c.type),
                          added ? QStringLiteral("Added") : QStringLiteral("Changed"));
    default:
        return (added ? tr("Added since the file was loaded") : tr("Changed since the file was loaded")) +
               QStringLiteral("\n\n") + Legend();
    }
}

} // namespace vellum::ui
