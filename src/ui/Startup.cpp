#include "ui/Startup.h"

#include "ui/EditorContext.h"
#include "ui/QtPrompt.h"
#include "ui/SettingsStore.h"
#include "ui/frmIntro.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>

#include <system_error>

namespace vellum::ui {

int RunEditor(QApplication& app) {
    EditorContext context;
    context.programDir = QCoreApplication::applicationDirPath().toStdString();
    for (const char* folder : {"Templates", "Indices", "Dumps"}) {
        std::error_code ignored;
        std::filesystem::create_directories(context.programDir / folder, ignored);
    }
    context.templ.OpenFile(context.TemplatePath().string());
    LoadSettings(context);
    if (context.dataFolder.empty())
        context.dataFolder = QDir::homePath().toStdString();

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
