#include "ui/Startup.h"

#include "ui/EditorContext.h"
#include "ui/QtPrompt.h"
#include "ui/frmIntro.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
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
    // Files named on the command line (a file manager's "Open With") open once the loop runs.
    QStringList files;
    for (const QString& arg : app.arguments().mid(1))
        if (!arg.startsWith('-'))
            files << QFileInfo(arg).absoluteFilePath();
    if (!files.isEmpty())
        QTimer::singleShot(0, &window, [&window, files] { window.OpenFiles(files); });
    return app.exec();
}

} // namespace vellum::ui
