#pragma once

#include <functional>
#include <string>

namespace vellum {
class Progress;
}

namespace vellum::ui {

class frmMain;

// Connects the main window's commands whose windows live beside the editor (raw data, find and
// find all, dump, statistics, support files, index manager, insert and sort dialogs, the tools
// windows and the configuration editor); builds the tool entries of the Tools menu.
void ConnectToolWindows(frmMain& main);

// Adds the data file at `path` to the open files and loads it read-only as a support file;
// false when it was open already or did not load (then it is closed again). Rebuilding the file
// buttons is the caller's.
bool LoadSupportFile(frmMain& main, const std::string& path, Progress* progress);

// Runs `act` when the main window's command `name` is triggered.
void ConnectCommand(frmMain& main, const char* name, std::function<void()> act);

} // namespace vellum::ui
