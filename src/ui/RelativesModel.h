#pragma once

#include "index/MentionKind.h"
#include "ui/GridModel.h"

#include <functional>
#include <vector>

namespace vellum {
class esRelatives;
struct esRelative;
} // namespace vellum

namespace vellum::ui {

// One tab of the relatives scan: the entries of esRelatives that pass a filter (the selection,
// the ancestors or the descendants), with an editable "Action" column, the file of each, and for
// text that names an ID what kind of text it is.
class RelativesModel : public GridModel {
    Q_OBJECT
public:
    enum Column { kAction, kRecord, kID, kSubrecord, kType, kGeneration, kFoundThrough, kFile, kFoundIn, kColumns };
    using Filter = std::function<bool(const esRelative&)>;

    RelativesModel(esRelatives& relatives, Filter filter, QObject* parent = nullptr);

    void Refresh(); // after a scan changed the entries
    void SetAllActions(int action);
    esRelative& Entry(int row);

    static QStringList ActionNames(); // "No Action", "Delete", "Cut", "Copy", "Clear"
    static QString ActionName(int action);
    static QString FoundIn(MentionKind kind); // "result script", "script source", "condition" or ""

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

protected:
    int RowTotal() const override { return static_cast<int>(positions_.size()); }
    Qt::ItemFlags CellFlags(const QModelIndex& index) const override;

private:
    esRelatives& relatives_;
    Filter filter_;
    std::vector<std::size_t> positions_; // 1-based positions in esRelatives
};

} // namespace vellum::ui
