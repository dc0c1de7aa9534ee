// The Vellum editor: sets up the shared state, then shows the main window.
#include "ProgramVersion.h"
#include "template/ProgramFolder.h"
#include "ui/Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

void PrintHelp() {
    std::printf("usage: vellum [FILE...]\n"
                "\n"
                "Vellum Editor %s: edits the data files of Morrowind.\n"
                "Opens each FILE given: masters (.esm), plug-ins (.esp), saved games (.ess) and\n"
                "OpenMW's content files (.omwaddon, .omwgame), side by side, each with a button\n"
                "on the file bar.\n"
                "\n"
                "Options:\n"
                "  -h, --help     this text\n"
                "  --version      print the version\n"
                "Qt's own options (-platform, -style, ...) are understood too.\n"
                "\n"
                "Files:\n%s",
                vellum::kVersionText, vellum::ProgramFolder::Find().Listing().c_str());
}

} // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vellum %s\n", vellum::kVersionText);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vellum Editor");
    QApplication::setApplicationVersion(vellum::kVersionText);
    QApplication::setOrganizationName("Vellum");
    // Window managers match the window with the desktop entry and its icon.
    QGuiApplication::setDesktopFileName("vellum");
    return vellum::ui::RunEditor(app);
}
