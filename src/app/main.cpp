// The Vellum editor: sets up the shared state, then shows the main window.
#include "ui/Startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vellum Editor");
    QApplication::setOrganizationName("Vellum");
    return vellum::ui::RunEditor(app);
}
