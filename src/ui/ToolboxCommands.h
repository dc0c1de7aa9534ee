#pragma once

#include <string>
#include <vector>

namespace vellum {
class esfile;
class Progress;
}

namespace vellum::ui {

class frmMain;

// Connects the modder's toolbox of the main window: File > Open Load Order, Tools > Conflicts
// and Tools > Clean Plug-in.
void ConnectToolbox(frmMain& main);

// Opens a data file as a support file (read-only, beside the plug-ins) and gives it a button;
// nullptr when it is open already or cannot be loaded. Progress goes to the main window's unless
// another sink is given. A caller inside a window that the buttons' rebuild would replace (the
// form's lookup) passes `rebuildButtons` false and rebuilds them once it is closed.
esfile* OpenSupportFile(frmMain& main, const std::string& path, Progress* progress = nullptr,
                        bool rebuildButtons = true);

// The open files in load order: masters before plug-ins, each in the order they were opened.
std::vector<esfile*> FilesInLoadOrder(frmMain& main);

} // namespace vellum::ui
