#pragma once

namespace vellum::ui {

class frmMain;

// Edit > Undo, Redo and History at the top of the Edit menu, named after the step they would
// undo or redo; the editor shows the file again after each move.
void ConnectUndoCommands(frmMain& main);

} // namespace vellum::ui
