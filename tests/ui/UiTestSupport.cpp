#include "UiTestSupport.h"

#include "ui/FileDialogs.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

namespace vellum::test {

void OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

void AnswerFileDialog(const QString& path) {
    ui::SetFileDialogAnswer([path](const ui::FileDialogRequest&) {
        const QStringList answer = path.isEmpty() ? QStringList() : QStringList{path};
        ui::SetFileDialogAnswer({}); // one answer per call; this lambda is gone after it
        return answer;
    });
}

EditorSession::EditorSession()
    : prepared_(Prepare()), context(Startup::Options{ProgramFolder(), {}, false}) {
    context.dataFolder = DataFolder().string() + "/";
}

bool EditorSession::Prepare() {
    namespace fs = std::filesystem;
    fs::create_directories(ProgramFolder() / "Templates");
    fs::create_directories(DataFolder());
    const fs::path bin = BinDir();
    fs::copy_file(bin / "ESTemplate.ini", ProgramFolder() / "ESTemplate.ini");
    for (const auto& entry : fs::directory_iterator(bin / "Templates"))
        fs::copy_file(entry.path(), ProgramFolder() / "Templates" / entry.path().filename());
    return true;
}

EditorSession::~EditorSession() = default;

ui::frmMain& EditorSession::Window() {
    if (!window_)
        window_ = std::make_unique<ui::frmMain>(context);
    return *window_;
}

std::string EditorSession::Copy(const std::string& name) {
    const auto target = DataFolder() / name;
    std::filesystem::copy_file(PluginsDir() / name, target, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target.string();
}

std::string EditorSession::Open(const std::string& name) {
    const std::string path = Copy(name);
    Window().OpenFiles({QString::fromStdString(path)});
    return path;
}

} // namespace vellum::test
