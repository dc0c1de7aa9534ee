#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/esLLFormEntry.h"
#include "ui/FileDialogs.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <QTreeView>
#include <QWidget>

#include <cctype>
#include <sstream>

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

void Shoot(QWidget& window, const QString& name) {
    const auto folder = BinDir().parent_path() / "screenshots";
    std::filesystem::create_directories(folder);
    const bool shown = window.isVisible();
    window.show();
    QCoreApplication::processEvents();
    const QString file = QString::fromStdString((folder / (name.toStdString() + ".png")).string());
    QVERIFY2(window.grab().save(file), qPrintable(file));
    window.setVisible(shown);
}

bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

bool Press(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    return true;
}

bool TypeText(const QString& text) {
    QWidget* focus = QApplication::focusWidget();
    if (focus)
        QTest::keyClicks(focus, text);
    return focus != nullptr;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

TemplateText::TemplateText(const std::string& text) {
    std::vector<std::pair<std::string, std::string>>* group = nullptr;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            group = &groups[Upper(line.substr(1, line.size() - 2))];
        else if (group && !line.empty() && line[0] != '@') {
            const auto eq = line.find('=');
            group->emplace_back(Trim(line.substr(0, eq)), eq == std::string::npos ? "" : Trim(line.substr(eq + 1)));
        }
    }
}

const std::vector<std::pair<std::string, std::string>>* TemplateText::Group(const std::string& name) const {
    const auto it = groups.find(Upper(name));
    return it == groups.end() ? nullptr : &it->second;
}

const std::string* TemplateText::Name(const std::string& group, const std::string& key) const {
    if (const auto* g = Group(group))
        for (const auto& [n, v] : *g)
            if (Upper(n) == Upper(key))
                return &v;
    return nullptr;
}

const TemplateText& ShippedTemplate() {
    static const TemplateText t(ShippedTemplateText());
    return t;
}

EditorSession::EditorSession()
    // Shipped data is read from the build's copy, as an installed program reads its own.
    : prepared_(Prepare()), context(Startup::Options{vellum::ProgramFolder(ProgramFolder(), BinDir()), {}, false}) {
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

OpenedPlugin::OpenedPlugin(const std::string& name)
    : path(s.Open(name)), w(s.Window()), ed(w.Editor()), model(*ed.Model()), file(*s.context.files.Find(path)) {}

std::string OpenedPlugin::KeyOf(const char* type, const std::string& id) const {
    for (const RecordEntry& r : file.Records())
        if (r.Name == type && r.ID == id)
            return r.Key;
    return {};
}

std::string OpenedPlugin::NthKey(const char* type, int row) {
    model.BuildRecords(Cat(type));
    return model.KeyOf(model.index(row, 0, Cat(type)));
}

QModelIndex OpenedPlugin::Cat(const char* type) const { return model.CategoryIndex(type); }

void OpenedPlugin::Click(const QModelIndex& node) { ed.Tree()->setCurrentIndex(node); }

void OpenedPlugin::EditFreely() {
    auto& v = s.context.values;
    v.EnableDelete = true;
    v.ConfirmDelete = v.ConfirmCut = false;
    v.EnableSafeEdit = false;
    ed.SetEnableDelete();
}

int OpenedPlugin::Entry(const std::function<bool(const ui::esLLFormEntry&)>& matches) {
    int n = 0;
    for (auto& e : ed.Entries())
        if (++n && matches(e.value))
            return n;
    return 0;
}

void OpenedPlugin::Go(const char* type, const std::string& key, const std::string& subrecord) {
    ed.GotoRecord(type, key, path, subrecord, true);
}

} // namespace vellum::test
