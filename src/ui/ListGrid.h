#pragma once

class QTableView;

namespace vellum::ui {

// The look of the dialogs' list grids: whole rows, one at a time, read-only, no row numbers,
// compact rows, the last column stretched.
void ConfigureListGrid(QTableView* view);

} // namespace vellum::ui
