#pragma once

#include "tools/RecordComparison.h"
#include "ui/GridModel.h"

#include <memory>

namespace vellum::ui {

// A record's versions side by side (RecordComparison): columns "Subrecord", "Property" and one
// per file; the cells of rows where the versions differ are highlighted, subrecord rows bold.
class ComparisonModel : public GridModel {
    Q_OBJECT
public:
    static constexpr int kFirstVersion = 2; // the column of the first file's version

    explicit ComparisonModel(QObject* parent = nullptr);

    // Shows `comparison` with `names` (one per version) as the version columns' headings.
    void SetComparison(std::unique_ptr<RecordComparison> comparison, const QStringList& names);
    const RecordComparison* Comparison() const { return comparison_.get(); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    int RowTotal() const override;

private:
    std::unique_ptr<RecordComparison> comparison_;
    QStringList names_;
};

} // namespace vellum::ui
