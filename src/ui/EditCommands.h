#pragma once

namespace vellum::ui {

class frmMain;

// Delete, cut and copy of the selection or the marked entries (through the relatives scan
// wizard when safe editing is on), the three pastes (the merge options first for a paste into
// the selected record), and the references browser of the selected record.
void ConnectEditCommands(frmMain& main);

} // namespace vellum::ui
