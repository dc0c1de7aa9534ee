#pragma once

#include <QSortFilterProxyModel>

namespace vellum::ui {

// The conflict list as the user narrows it: only records whose versions differ, and only rows
// whose type or ID holds a text (letter case ignored).
class ConflictFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    static constexpr int kTypeColumn = 0, kIdColumn = 1, kVersionsColumn = 4;

    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetDiffersOnly(bool on);
    void SetText(const QString& text);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    bool differsOnly_ = false;
    QString text_;
};

} // namespace vellum::ui
