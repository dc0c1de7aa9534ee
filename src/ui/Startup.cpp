#include "ui/Startup.h"

#include "ui/EditorContext.h"
#include "ui/QtPrompt.h"
#include "ui/frmIntro.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>

#include <system_error>

namespace vellum::ui {

int RunEditor(QApplication& app) {
    EditorContext context;

    QtPrompt prompt;
    ScopedPrompt installed(prompt);
    frmMain window(context);
    prompt.setParent(&window);
    window.show();
    auto* intro = new frmIntro(&window);
    intro->show();
    return app.exec();
}

} // namespace vellum::ui
