#pragma once

#include <functional>
#include <string>

namespace vellum::ui {

class frmMain;

// Connects the main window's commands whose windows live beside the editor (raw data, find and
// find all, dump, statistics, support files, index manager, insert and sort dialogs, the tools
// windows and the configuration editor); builds the tool entries of the Tools menu.
void ConnectToolWindows(frmMain& main);

// Runs `act` when the main window's command `name` is triggered.
void ConnectCommand(frmMain& main, const char* name, std::function<void()> act);

} // namespace vellum::ui
