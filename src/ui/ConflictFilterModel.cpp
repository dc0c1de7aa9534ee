#include "ui/ConflictFilterModel.h"

namespace vellum::ui {

void ConflictFilterModel::SetDiffersOnly(bool on) {
    differsOnly_ = on;
    invalidateFilter();
}

void ConflictFilterModel::SetText(const QString& text) {
    text_ = text.trimmed();
    invalidateFilter();
}

bool ConflictFilterModel::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const QAbstractItemModel* m = sourceModel();
    auto cell = [&](int column) { return m->data(m->index(row, column, parent)).toString(); };
    if (differsOnly_ && !cell(kVersionsColumn).startsWith(QLatin1String("differs"))) return false;
    return text_.isEmpty() || cell(kTypeColumn).contains(text_, Qt::CaseInsensitive) ||
           cell(kIdColumn).contains(text_, Qt::CaseInsensitive);
}

} // namespace vellum::ui
