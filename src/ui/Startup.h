#pragma once

class QApplication;

namespace vellum::ui {

// Start-up of the editor: program folders, the format template, the settings, the game data
// folder, the prompt, the main window and its splash. Returns the application's exit code.
int RunEditor(QApplication& app);

} // namespace vellum::ui
