// The main window started as a user starts it: the file commands (open, close, save, save as,
// recent files, new, the safe-editing and template questions), desktop habits (dropped files,
// settings and geometry written on exit, options, shortcuts, the splash, the debug window), every
// command of its menus, the windows they open, and the toolbox (conflicts, cleaning, load order).
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/References.h"
#include "model/FileBuffer.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "ui/ComparisonModel.h"
#include "ui/DesktopOpen.h"
#include "ui/FileButtonBar.h"
#include "ui/LegacyText.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/SearchPanel.h"
#include "ui/TextTableModel.h"
#include "ui/frmClean.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmConflicts.h"
#include "ui/frmDebug.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmIntro.h"
#include "ui/frmLoadOrder.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "ui/frmRawData.h"
#include "ui/frmReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmSupport.h"
#include "ui/frmTemplateChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <cstring>
#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::Concat;
using test::HeaderRecord;
using test::RecordBytes;
using test::Text;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

Config Settings(test::EditorSession& s) {
    Config saved;
    saved.OpenFile((s.ProgramFolder() / "Vellum.ini").string());
    return saved;
}

void CloseModal(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

// Runs `act` and names the class of the modal window it opened, which is then closed.
QString ModalOf(const std::function<void()>& act) {
    QString opened;
    test::OnNextModal([&opened](QWidget* modal) {
        opened = modal->metaObject()->className();
        CloseModal(modal);
    });
    act();
    QCoreApplication::processEvents();
    return opened;
}

// Every action of the menu bar, submenus included, in menu order.
void CollectActions(const QList<QAction*>& actions, QList<QAction*>& out) {
    for (QAction* a : actions)
        if (a->menu())
            CollectActions(a->menu()->actions(), out);
        else if (!a->isSeparator())
            out << a;
}

// The Edit menu's undo and redo captions, as the menu shows them when it opens.
QStringList UndoCaptions(frmMain& w) {
    auto* edit = w.findChild<QMenu*>("mnuEdit");
    emit edit->aboutToShow();
    QStringList captions{w.findChild<QAction*>("mnuEditUndo")->text()};
    auto* redo = w.findChild<QAction*>("mnuEditRedo");
    captions << (redo->isEnabled() ? redo->text() : QString());
    emit edit->aboutToHide();
    return captions;
}

Bytes Setting(const std::string& id, const std::string& text) {
    return RecordBytes("GMST", {{"NAME", Text(id, false)}, {"STRV", Text(text, false)}});
}

Bytes Global(const std::string& id, float value) {
    Bytes v(4);
    std::memcpy(v.data(), &value, 4);
    return RecordBytes("GLOB", {{"NAME", Text(id)}, {"FNAM", Text("f", false)}, {"FLTV", v}});
}

// An interior cell holding references to objects, each with its number.
Bytes Cell(const std::vector<std::pair<std::string, std::int32_t>>& references) {
    std::vector<test::Sub> subs{{"NAME", Text("Vellum Hall")}, {"DATA", Concat({test::Int32(1), Bytes(8, 0)})}};
    for (const auto& [object, number] : references) {
        subs.push_back({"FRMR", test::Int32(number)});
        subs.push_back({"NAME", Text(object)});
        subs.push_back({"DATA", Bytes(24, 0)});
    }
    return RecordBytes("CELL", subs);
}

// The STRV text of the plug-in's game setting, read from its bytes.
std::string Value(const esfile& f, const std::string& id) {
    for (const RecordEntry& r : f.Records()) {
        if (r.Name != "GMST" || r.ID != id) continue;
        const std::string data(r.Data.data(), r.Data.data() + r.Data.size());
        const std::size_t at = data.find("STRV");
        return at == std::string::npos ? std::string() : data.substr(at + 8);
    }
    return "(none)";
}

// A master and a plug-in of it, both opened in the editor; the plug-in is shown.
struct MasterAndPlugin {
    MasterAndPlugin(std::vector<Bytes> master, std::vector<Bytes> plugin) {
        const auto m = s.DataFolder() / "m.esm", p = s.DataFolder() / "p.esp";
        master.insert(master.begin(), HeaderRecord(static_cast<std::int32_t>(master.size()), 1)); // stored 1: a master
        plugin.insert(plugin.begin(), HeaderRecord(static_cast<std::int32_t>(plugin.size()), 0, {{"m.esm", 1}}));
        test::WriteBytes(m, Concat(master));
        test::WriteBytes(p, Concat(plugin));
        s.Window().OpenFiles({Q(m.string()), Q(p.string())});
        s.Window().ClickFileButton(Q(p.string()));
        plugin_ = s.context.files.Find(p.string());
    }
    test::EditorSession s;
    esfile* plugin_ = nullptr;
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void openSeveralSkipsOpenAndStopsAtMissing() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        QCOMPARE(w.windowTitle(), QString("Clipboard - Vellum Editor 0.91 beta"));
        QVERIFY(!w.Command("mnuFileClose")->isEnabled() && w.Command("mnuEditFind")->isEnabled());
        const QString a = Q(s.Copy("blank.esm")), b = Q(s.Copy("blank.esp"));
        w.OpenFiles({a, b});
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>", a, b}));
        QCOMPARE(w.CurrentKey(), b);
        QCOMPARE(w.windowTitle(), QString("blank.esp - Vellum Editor 0.91 beta"));
        QVERIFY(w.Command("mnuFileClose")->isEnabled());
        w.OpenFiles({a}); // already open: not twice
        QCOMPARE(s.context.files.Count(), std::size_t(3));
        const QString missing = Q((s.DataFolder() / "gone.esp").string()), c = Q(s.Copy("flin.esp"));
        w.OpenFiles({missing, c}); // the missing file stops the loop
        QCOMPARE(s.context.files.Count(), std::size_t(3));
        QVERIFY(!s.context.files.Exists(c.toStdString()));
        QCOMPARE(w.CurrentKey(), b);
    }

    void brokenFilesWarnAndNeverCrash() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        s.prompt.defaultAnswer = Answer::No; // never save them
        for (const auto& entry : std::filesystem::directory_iterator(test::MalformedDir())) {
            if (entry.path().extension() == ".md" || !entry.is_regular_file())
                continue;
            // Copies: a broken file is shown, maybe changed, but the shared one is never touched.
            const auto copy = s.DataFolder() / entry.path().filename();
            std::filesystem::copy_file(entry.path(), copy);
            w.OpenFiles({Q(copy.string())});
            if (s.context.files.Exists(copy.string())) {
                for (int row = 0; row < w.Editor().Model()->rowCount(); ++row)
                    w.Editor().Tree()->setCurrentIndex(w.Editor().Model()->index(row, 0));
                QVERIFY(w.CloseFile(Q(copy.string()), true));
            }
        }
        QVERIFY(s.prompt.Saw("Warning! The Vellum Editor was unable to properly load the file " +
                             (s.DataFolder() / "empty.esp").string()));
    }

    void closeAsksAboutChangedFiles() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
        const QString a = Q(o.path);
        o.file.Changed = true;
        o.s.prompt.answers = {Answer::Cancel};
        QVERIFY(!o.w.CloseFile(a, true));
        QVERIFY(o.s.context.files.Exists(o.path));
        QCOMPARE(o.s.prompt.calls.back().text, std::string("Save changes to blank.esm before closing?"));
        QCOMPARE(o.s.prompt.calls.back().buttons, Buttons::YesNoCancel);
        o.s.prompt.answers = {Answer::No};
        QVERIFY(o.w.CloseFile(a, true));
        QVERIFY(!o.s.context.files.Exists(o.path));
        QCOMPARE(o.w.FileButtons().Keys(), QStringList({"<Clipboard>"}));
        QVERIFY(!o.w.Command("mnuFileClose")->isEnabled());
    }

    void saveAsRefusesOfficialMasters() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = (s.DataFolder() / "Tribunal.esm").string();
        std::filesystem::copy_file(test::PluginsDir() / "blank.esm", path);
        w.OpenFiles({Q(path)});
        // Save on an official master shows the dialog; a name ending in an official one is refused.
        test::AnswerFileDialog(Q((s.DataFolder() / "MyTRIBUNAL.ESM").string()));
        QVERIFY(!w.SaveFile(false));
        QVERIFY(s.prompt.Saw("You cannot save to the specified filename because it is an official Morrowind master "
                             "file. Please select save again and enter a different filename in order to save the "
                             "file."));
        QVERIFY(!std::filesystem::exists(s.DataFolder() / "MyTRIBUNAL.ESM"));
        const std::string other = (s.DataFolder() / "MyTribunalEdit.esm").string();
        test::AnswerFileDialog(Q(other));
        QVERIFY(w.SaveFile(false));
        QVERIFY(std::filesystem::exists(other));
        QCOMPARE(w.Recent().Entries().front().path, other);

        // Save As of the clipboard makes it a file and a new clipboard.
        test::AnswerFileDialog(Q((s.DataFolder() / "FromClipboard.esp").string()));
        w.ClickFileButton("<Clipboard>");
        QVERIFY(w.SaveFile(true));
        QVERIFY(!s.context.files.Find("<Clipboard>")->Clipboard);
        QVERIFY(s.context.files.Find("<Clipboard1>") && s.context.files.Find("<Clipboard1>")->Clipboard);
    }

    void recentFilesMenu() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        for (const char* n : {"blank.esm", "blank.esp", "flin.esp", "fm_lightning.esp", "immersivetravel.esp",
                              "the_publicans_bcom_patch.esp"})
            w.OpenFiles({Q(s.Copy(n))});
        QCOMPARE(w.Recent().Entries().size(), std::size_t(5)); // the oldest fell off
        QCOMPARE(w.Recent().Entries().front().display, std::string("the_publicans_bcom_patch.esp"));
        QCOMPARE(w.Recent().Entries().back().display, std::string("blank.esp"));
        QAction* first = w.findChild<QAction*>("mnuFileRecent1");
        QVERIFY(first);
        QCOMPARE(first->text(), QString("&1. the_publicans_bcom_patch.esp"));
        QVERIFY(!w.findChild<QAction*>("mnuFileRecent6"));
        // Closing and reopening from the list moves the entry to the top.
        const QString flin = Q((s.DataFolder() / "flin.esp").string());
        w.CloseFile(flin, true);
        w.findChild<QAction*>("mnuFileRecent4")->trigger();
        QVERIFY(s.context.files.Exists(flin.toStdString()));
        QCOMPARE(w.Recent().Entries().front().display, std::string("flin.esp"));
        QCOMPARE(w.Recent().Entries().size(), std::size_t(5));
    }

    void newFileKeys() {
        test::EditorSession s;
        frmMain& w = s.Window();
        for (int i = 0; i < 2; ++i) {
            test::OnNextModal([](QWidget* d) {
                auto* chooser = qobject_cast<frmTemplateChooser*>(d);
                QVERIFY(chooser && chooser->List()->count() >= 1);
                chooser->accept();
            });
            w.NewFile();
        }
        QVERIFY(s.context.files.Exists("NewFile"));
        esfile* f = s.context.files.Find("NewFile001");
        QVERIFY(f && f->Changed && !f->FileExists);
        QCOMPARE(w.CurrentKey(), QString("NewFile001"));
        // Cancelling the chooser creates nothing.
        test::OnNextModal([](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
        w.NewFile();
        QCOMPARE(s.context.files.Count(), std::size_t(3));
    }

    void safeEditingAndTemplateQuestions() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        s.prompt.answers = {Answer::No};
        w.Command("mnuEditSafeEditing")->trigger();
        QVERIFY(s.context.values.EnableSafeEdit && w.Command("mnuEditSafeEditing")->isChecked());
        QVERIFY(s.prompt.calls.back().text.find("entries without the entries they rely on.") != std::string::npos);
        s.prompt.answers = {Answer::Yes};
        w.Command("SafeEditing")->trigger(); // the toolbar words it differently
        QVERIFY(!s.context.values.EnableSafeEdit);
        QVERIFY(s.prompt.calls.back().text.find("entries without the entries that they rely on.") != std::string::npos);
        QCOMPARE(w.Command("SafeEditing")->toolTip(), QString("Safe editing is DISABLED"));
        const std::size_t asked = s.prompt.calls.size();
        w.Command("mnuEditSafeEditing")->trigger(); // turning on asks nothing
        QVERIFY(s.context.values.EnableSafeEdit);
        QCOMPARE(s.prompt.calls.size(), asked);

        QStringList opened;
        SetDesktopOpener([&opened](const QString& path) { return opened << path, true; });
        w.OpenFiles({Q(s.Copy("blank.esm"))});
        s.prompt.answers = {Answer::No};
        w.Command("mnuToolsFormatEdit")->trigger();
        QCOMPARE(s.prompt.calls.back().text,
                 std::string("All open files must be closed in to edit the format template. Do you wish to close "
                             "all open files (Yes) or cancel this process (No)?"));
        QCOMPARE(s.context.files.Count(), std::size_t(2));
        w.Command("mnuEditConfirmCut")->trigger(); // in force, not yet written
        const bool confirmCut = s.context.values.ConfirmCut;
        s.prompt.answers = {Answer::Yes};
        w.Command("mnuToolsFormatEdit")->trigger();
        QCOMPARE(s.context.files.Count(), std::size_t(1));
        auto* templateEditor = w.findChild<frmConfigEditor*>();
        QVERIFY(templateEditor && templateEditor->IsTemplate()); // ours, not the desktop's text editor
        QVERIFY(opened.isEmpty());
        SetDesktopOpener({});
        // Vellum.ini edited there: it showed the settings in force, and its edit holds on close.
        Config ini = Settings(s);
        QCOMPARE(ini.GetVar("Editing", "ConfirmCut"), std::string(confirmCut ? "True" : "False"));
        const bool confirmDelete = !s.context.values.ConfirmDelete;
        ini.SetVar("Editing", "ConfirmDelete", confirmDelete ? "True" : "False");
        QCOMPARE(ini.Save(), 0);
        templateEditor->close();
        QTRY_VERIFY(!w.findChild<frmConfigEditor*>());
        QCOMPARE(s.context.values.ConfirmDelete, confirmDelete);
        QCOMPARE(w.Command("mnuEditConfirmDelete")->isChecked(), confirmDelete);
        QCOMPARE(s.context.values.ConfirmCut, confirmCut);

        s.prompt.answers = {Answer::No};
        w.Command("mnuToolsFormatRevert")->trigger();
        QCOMPARE(s.prompt.calls.back().title, std::string("Confirm File Revert"));
        w.Command("mnuToolsCleanSave")->trigger();
        QCOMPARE(s.prompt.calls.back().text,
                 std::string("The current file does not appear to be a save game file. Continue anyway?"));
    }

    void droppedFileOpensAndExitAsksYesNoAndWritesSettings() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = s.Copy("blank.esp");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Q(path))});
        QVERIFY(w.acceptDrops() && w.OpenDropped(data));
        QTRY_VERIFY_WITH_TIMEOUT(s.context.files.Exists(path), 2000);

        s.context.files.Find(path)->Changed = true;
        w.resize(900, 640);
        w.AddRecentFile("a.esp", "/x/a.esp");
        s.context.codePage = 1251;
        s.prompt.calls.clear();
        s.prompt.answers = {Answer::No};
        QVERIFY(w.close());
        QCOMPARE(s.prompt.calls.front().text, std::string("Save changes to blank.esp before closing?"));
        QCOMPARE(s.prompt.calls.front().buttons, Buttons::YesNo);
        const Config saved = Settings(s);
        QCOMPARE(saved.GetVar("View", "Encoding"), std::string("1251"));
        QCOMPARE(saved.GetVar("RecentFiles", "a.esp"), std::string("/x/a.esp"));
        QVERIFY(!saved.GetVar("Window", "Geometry").empty());
        QCOMPARE(saved.GetVar("Editing", "EnableSafeEdit"), std::string("True"));
    }

    // Save keeps the file's order; the options dialog's choices act at once and are written:
    // "Sort records by type when saving" writes the file type by type, "Map data files into
    // memory" off reads the next file into memory.
    void optionsActAtOnceAndSortTheSave() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const Bytes original = test::ReadBytes(path);
        auto types = [](const Bytes& bytes) {
            QStringList out;
            for (const test::RawRecord& r : test::RawRecords(bytes)) out << Q(r.type);
            return out;
        };
        QVERIFY(w.SaveFile(false));
        QCOMPARE(types(test::ReadBytes(path)), types(original));
        QCOMPARE(test::ReadBytes(path + ".bak"), original);

        test::OnNextModal([](QWidget* d) {
            auto* options = qobject_cast<frmOptions*>(d);
            QVERIFY(options && !options->Box("SortRecordsWhenSaving")->isChecked() && options->Box("MapFiles")->isChecked());
            for (const char* box : {"ViewRecordTypes", "EnableDelete", "SortRecordsWhenSaving"})
                options->Box(box)->setChecked(true);
            options->Box("MapFiles")->setChecked(false);
            options->Encoding()->setCurrentIndex(options->Encoding()->findData(1250));
            options->accept();
        });
        w.Command("mnuToolsOptions")->trigger();
        QCOMPARE(o.Cat("TES3").data().toString(), QString("TES3 ~File Header  (1)")); // the type before the name
        // Deleting is allowed at once: the menu's flag and the command follow the dialog.
        QVERIFY(w.Command("mnuEditEnableDelete")->isChecked());
        ed.GotoRecord(file.Records().at(1).CatKey(), {}, {}, {}, true);
        QVERIFY(w.Command("mnuEditDelete")->isEnabled());
        QCOMPARE(TextCodePage(), 1250);
        SetTextCodePage(999); // unsupported: back to 1252
        QCOMPARE(TextCodePage(), 1252);
        QVERIFY(w.SaveFile(false));
        const QStringList sorted = types(test::ReadBytes(path));
        QVERIFY(sorted != types(original));
        QCOMPARE(sorted.size(), types(original).size());
        for (const QString& t : sorted) // each type in one run, responses among their topics
            if (t != "INFO" && t != "DIAL")
                QCOMPARE(sorted.lastIndexOf(t) - sorted.indexOf(t) + 1, static_cast<int>(sorted.count(t)));
        const Config saved = Settings(s);
        const char* const written[][3] = {{"View", "ViewRecordTypes", "True"}, {"View", "Encoding", "1250"},
                                          {"Editing", "EnableDelete", "True"}, {"Editing", "SortRecordsWhenSaving", "True"},
                                          {"Performance", "MapFiles", "False"}};
        for (const auto& [group, name, value] : written)
            QCOMPARE(saved.GetVar(group, name), std::string(value));
        QCOMPARE(FileBuffer::CurrentMapping(), FileBuffer::Mapping::Off);
        FileBuffer::SetMapping(FileBuffer::Mapping::Leased);
    }

    void closingABigTreeReportsItsUnloading() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.NthKey("INFO", 0); // the 2,411 responses in the tree
        auto* status = o.w.findChild<QLabel*>("StatusText");
        // What the status line says whenever the window lets events in during the close.
        QStringList seen;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] { seen << status->text(); });
        watch.start(0);
        QVERIFY(o.w.CloseFile(Q(o.path), true));
        watch.stop();
        QVERIFY2(seen.contains("Unloading Tree Node 1"), qPrintable(seen.join('|')));
    }

    // The desktop's usual keys; Alt and a letter reach one item: no two items of a menu (the menu
    // bar's titles, every menu, submenu and the tree's pop-up, as a record selection words them)
    // share a letter.
    void shortcutsAndAccessKeys() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
        const std::pair<const char*, QKeySequence> keys[] = {
            {"mnuFileOpen", QKeySequence::Open},    {"mnuFileSave", QKeySequence("Ctrl+S")},
            {"mnuFileSaveAs", QKeySequence("Ctrl+Shift+S")}, {"mnuFileClose", QKeySequence("Ctrl+W")},
            {"mnuEditFind", QKeySequence("Ctrl+F")}, {"mnuEditFindAll", QKeySequence("Ctrl+Shift+F")},
            {"Back", QKeySequence("Alt+Left")},     {"Forward", QKeySequence("Alt+Right")},
            {"mnuHelpCredits", QKeySequence::HelpContents},
        };
        for (const auto& [command, key] : keys)
            QVERIFY2(o.w.Command(command)->shortcut() == key, command);
        o.Go("GMST", o.NthKey("GMST", 0));
        auto letters = [](const QList<QAction*>& actions) {
            QStringList clashes;
            QHash<QChar, QString> seen;
            for (const QAction* a : actions) {
                const QString text = a->text();
                for (qsizetype i = text.indexOf('&'); i >= 0 && i + 1 < text.size(); i = text.indexOf('&', i + 2)) {
                    if (text[i + 1] == '&')
                        continue;
                    const QChar key = text[i + 1].toLower();
                    if (seen.contains(key))
                        clashes << seen[key] + " / " + text;
                    seen[key] = text;
                    break;
                }
            }
            return clashes;
        };
        QStringList clashes = letters(o.w.menuBar()->actions());
        for (QMenu* menu : o.w.findChildren<QMenu*>())
            clashes += letters(menu->actions());
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
    }

    void splashClosesOnAKey() {
        auto* intro = new frmIntro(nullptr, 60000);
        QPointer<frmIntro> alive(intro);
        intro->show();
        QTest::keyClick(intro, Qt::Key_Space);
        QTRY_VERIFY(alive.isNull());
    }

    void debugWindowListsTheSubrecord() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
        o.w.Command("Debug")->trigger();
        auto* debug = o.w.findChild<frmDebug*>();
        QVERIFY(debug && debug->isVisible());
        o.Go("GMST", o.KeyOf("GMST", "gmst01"), "NAME");
        QVERIFY(debug->Listing().startsWith("Record: "));
        QVERIFY(debug->Listing().contains("   SubRecord: NAME"));
        QVERIFY(debug->Listing().contains("    RAW DATA  103  109  115  116  48  49  0"));
        o.w.Command("Debug")->trigger();
        QVERIFY(!debug->isVisible());
    }

    // With a plug-in open and a record selected, every command of the menu bar is enabled unless
    // the selection rules say otherwise, runs without harm, and those of the tools open their
    // windows, from the menu and from the form's heading buttons.
    void everyCommandIsWiredAndActs() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const RecordEntry r = file.Records().at(1);
        // By ID: a paste may give the record another key.
        auto select = [&] {
            const int at = FindRecordByID(file, r.ID);
            if (at >= 0) ed.GotoRecord(r.CatKey(), file.Records()[at].Key, path, {}, true);
        };
        select();

        // Enable states follow the selection, the marks, the clipboard and the flags.
        auto enabled = [&w](const char* name) { return w.Command(name)->isEnabled(); };
        for (const char* off : {"mnuEditDelete", "mnuEditPaste", "mnuClearClipboard", "mnuEditUnmark", "mnuFileEnableEdit"})
            QVERIFY2(!enabled(off), off);
        QVERIFY(enabled("mnuEditCut") && enabled("mnuEditCopy"));
        QCOMPARE(ed.PopupMenu()->actions()[3]->isEnabled(), false); // the pop-up's Delete
        w.Command("mnuEditEnableDelete")->trigger();
        QVERIFY(enabled("mnuEditDelete") && ed.PopupMenu()->actions()[3]->isEnabled());

        // The tool commands open their windows.
        const char* const windows[][2] = {
            {"mnuEditRawData", "frmRawData"},         {"mnuFileDump", "frmDump"},
            {"mnuFileStatistics", "frmStatistics"},   {"mnuSupportFiles", "frmSupport"},
            {"mnuFileIndexManager", "frmIndex"},      {"mnuATManage", "frmTools"},
            {"mnuInsertRecord", "frmInsertRecord"},   {"mnuInsertSubRecord", "frmInsertSubrecord"},
            {"mnuEditSortSubrecords", "frmSortSubrecords"}, {"mnuEditDelete", "frmScanRelatives"},
        };
        for (const auto& [command, window] : windows) // named, so a failure says which command
            QCOMPARE(command + (": " + ModalOf([&] { w.Command(command)->trigger(); })),
                     command + QString(": vellum::ui::") + window);
        QVERIFY(FindRecordByID(file, r.ID) >= 0); // nothing was deleted

        // The form's heading buttons run the same commands: on the record, and on the marks.
        select();
        auto* raw = ed.Form()->findChild<QPushButton*>("mnuEditRawData." + Q(r.Key));
        QVERIFY(raw);
        QCOMPARE(ModalOf([raw] { raw->click(); }), QString("vellum::ui::frmRawData"));
        w.Command("mnuEditMarkAll")->trigger();
        w.Command("mnuEditEditMarked")->trigger();
        auto* unmark = ed.Form()->findChild<QPushButton*>("mnuEditUnmark.");
        QVERIFY(unmark);
        unmark->click();
        QTRY_VERIFY(!w.Command("mnuEditUnmark")->isEnabled());

        // A second file header is refused with its message, and the one there is shown.
        const std::size_t records = file.Records().size();
        test::OnNextModal([](QWidget* modal) {
            auto* chooser = qobject_cast<frmInsertRecord*>(modal);
            QVERIFY(chooser && chooser->Select("TES3"));
            chooser->accept();
        });
        w.Command("mnuInsertRecord")->trigger();
        QVERIFY(s.prompt.Saw("The Record could not be added because there is already a TES3 record in the file.\n\n"
                             "Only one TES3 record is allowed per file."));
        QCOMPARE(file.Records().size(), records);
        QCOMPARE(file.CurrentCatKey, std::string("TES3"));
        select();

        // Find steps from the current record to the next one of its type, or says there is none.
        w.Command("mnuEditFind")->trigger();
        auto* find = w.findChild<frmSearch*>();
        QVERIFY(find);
        find->Panel()->RecordType()->setCurrentText(Q(r.Name));
        const std::size_t asked = s.prompt.calls.size();
        find->FindButton()->click();
        const bool moved = file.CurrentRecordKey != r.Key && file.CurrentRecordKey.starts_with(r.Name);
        QVERIFY(moved || (s.prompt.calls.size() == asked + 1 && s.prompt.calls.back().text == "No further matches were found."));

        ed.GotoRecord(r.CatKey(), {}, path, {}, true);
        QVERIFY(!enabled("mnuEditRawData") && !enabled("mnuEditFindRefs") && !enabled("mnuInsertSubRecord"));
        QVERIFY(enabled("mnuInsertRecord") && enabled("mnuEditCut"));
        s.context.values.EnableSafeEdit = false; // the copy runs without the wizard
        select();
        w.Command("mnuEditCopy")->trigger();
        select();
        QVERIFY(enabled("mnuEditPaste") && enabled("mnuEditPasteSubrecords") && enabled("mnuClearClipboard"));
        w.Command("mnuEditMarkAll")->trigger();
        QCOMPARE(w.Command("mnuEditDelete")->text(), QString("&Delete Marked"));
        QVERIFY(enabled("mnuEditUnmark") && enabled("mnuEditEditMarked"));
        w.Command("mnuEditUnmark")->trigger();
        QCOMPARE(w.Command("mnuEditDelete")->text(), QString("&Delete"));
        // A support file is read-only until Edit Support File.
        file.IsSupport = true;
        w.ClickFileButton(Q(path));
        select();
        QVERIFY(enabled("mnuFileEnableEdit") && enabled("mnuEditCopy"));
        QVERIFY(!enabled("mnuEditCut") && !enabled("mnuInsertRecord") && !enabled("mnuEditPaste"));
        w.Command("mnuFileEnableEdit")->trigger();
        QVERIFY(!file.IsSupport && enabled("mnuInsertRecord") && !enabled("mnuFileEnableEdit"));
        w.ClickFileButton("<Clipboard>");
        QVERIFY(!enabled("mnuEditCopy") && !enabled("mnuEditPaste") && !enabled("mnuFileClose"));
        w.ClickFileButton(Q(path));
        select();

        // Every command in turn; windows opened are closed, questions answered No.
        s.context.values.ConfirmDelete = s.context.values.ConfirmCut = true;
        s.prompt.defaultAnswer = Answer::No;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                CloseModal(modal);
        });
        closer.start(20);
        QList<QAction*> all;
        CollectActions(w.menuBar()->actions(), all);
        QVERIFY(all.size() > 40);
        // Saving rebuilds the recent-files entries: those collected before are gone then.
        const std::vector<QPointer<QAction>> guarded(all.begin(), all.end());
        for (const QPointer<QAction>& a : guarded) {
            if (!a || a->objectName() == "mnuFileExit" || a->objectName() == "mnuFileClose")
                continue;
            if (file.CurrentRecordKey.empty())
                select();
            QVERIFY2(a->isEnabled() || a->objectName() == "mnuFileEnableEdit", qPrintable(a->objectName()));
            test::AnswerFileDialog({});
            const QString name = a->objectName();
            a->trigger();
            QCoreApplication::processEvents();
            QVERIFY2(s.context.files.Find(path), qPrintable(name));
        }
        for (const char* name : {"Debug", "Debug", "Orientation", "Orientation", "SafeEditing", "Back", "Forward", "UpLevel"}) {
            w.Command(name)->trigger();
            QCoreApplication::processEvents();
        }
        QVERIFY(s.prompt.Saw("Are you sure you want to delete the selected record?"));
        QVERIFY(s.prompt.Saw("Are you sure you want to cut the selected record?"));
        QVERIFY(FindRecordByID(file, r.ID) >= 0); // both were declined
        QVERIFY(!w.findChild<frmReferences*>()); // the Credits tab closed the windows beside the editor

        // Closing the file takes the windows that show its records with it.
        select();
        w.Command("mnuEditFindAll")->trigger();
        w.Command("mnuEditFindRefs")->trigger();
        QVERIFY(w.findChild<frmReferences*>() && w.findChild<frmSearchAll*>());
        w.Command("mnuFileClose")->trigger();
        QVERIFY(!s.context.files.Find(path));
        QVERIFY(!w.findChild<frmReferences*>() && !w.findChild<frmSearchAll*>());
    }

    // Cut in one file through the wizard, paste into another: the commands carry the record
    // across; both are undone and redone by keys sent to whatever has the focus.
    void cutFromTheMenuAndPasteIntoASecondFile() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string from = s.Copy("flin.esp"), to = s.Copy("blank.esp");
        w.OpenFiles({Q(from), Q(to)});
        esfile& source = *s.context.files.Find(from);
        esfile& target = *s.context.files.Find(to);
        const RecordEntry r = source.Records().at(1);
        QVERIFY(!r.ID.empty());
        w.ClickFileButton(Q(from));
        w.Editor().GotoRecord(r.CatKey(), r.Key, from, {}, true);

        bool completed = false;
        test::OnNextModal([&completed](QWidget* modal) {
            auto* wizard = qobject_cast<frmScanRelatives*>(modal);
            QVERIFY(wizard);
            wizard->Start();
            wizard->GoToStep(frmScanRelatives::kFinish);
            wizard->CompleteOperation();
            completed = wizard->Completed();
        });
        w.Command("mnuEditCut")->trigger();
        QVERIFY(completed);
        QCOMPARE(FindRecordByID(source, r.ID), -1);
        QVERIFY(source.Changed);

        w.ClickFileButton(Q(to));
        QCOMPARE(w.Editor().File(), &target);
        const bool targetChanged = target.Changed; // a header whose count was wrong, corrected on loading
        w.Command("mnuEditPaste")->trigger();
        QVERIFY(FindRecordByID(target, r.ID) >= 0);
        QVERIFY(target.Changed);

        QCOMPARE(UndoCaptions(w), QStringList({"&Undo Paste 1 Record", ""}));
        // A category the user opened stays open through the undo.
        RecordTreeModel* model = w.Editor().Model();
        std::string opened;
        for (int row = 0; row < model->rowCount() && opened.empty(); ++row)
            if (const QModelIndex c = model->index(row, 0); model->hasChildren(c) && model->KeyOf(c) != r.CatKey()) {
                opened = model->KeyOf(c);
                w.Editor().Tree()->expand(c);
            }
        QVERIFY(!opened.empty());
        QVERIFY(test::ShowActive(w));
        const Bytes original = test::ReadBytes(from);
        QVERIFY(test::Press(Qt::Key_Z, Qt::ControlModifier));
        QCOMPARE(FindRecordByID(target, r.ID), -1);
        QVERIFY(w.Editor().Tree()->isExpanded(model->CategoryIndex(opened)));
        QCOMPARE(target.Changed, targetChanged);
        QVERIFY(UndoCaptions(w)[0].startsWith("&Undo Cut"));
        QCOMPARE(UndoCaptions(w)[1], QString("&Redo Paste 1 Record"));
        QVERIFY(test::Press(Qt::Key_Z, Qt::ControlModifier));
        QVERIFY(FindRecordByID(source, r.ID) >= 0);
        QVERIFY(!source.Changed);
        w.ClickFileButton(Q(from));
        QVERIFY(w.SaveFile(false));
        QCOMPARE(test::ReadBytes(from), original);

        QVERIFY(test::Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(FindRecordByID(source, r.ID), -1);
        QVERIFY(source.Changed);
        QVERIFY(test::Press(Qt::Key_Y, Qt::ControlModifier));
        QVERIFY(FindRecordByID(target, r.ID) >= 0);
    }

    // Bytes typed into the raw data window, keys sent to whatever has the focus, go into the
    // record and its dump; they are one step of the history; undone, the file saves as it was read.
    void bytesTypedIntoTheRawDataWindowAreOneStep() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        const Bytes original = test::ReadBytes(o.path);
        const RecordEntry& r = o.file.Records().at(1);
        o.Go(r.CatKey().c_str(), r.Key);
        const UndoHistory& history = o.s.context.files.History();
        const std::size_t steps = history.Count();
        const test::RawRecord raw = test::RawRecords(original).at(1);
        Bytes expected(raw.data.begin(), raw.data.end());
        std::copy_n("ABC", 3, expected.begin());
        const auto dumped = o.s.context.folders.DumpsFolder() / ("flin.esp." + r.Key + ".ALL.bin");
        test::OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<frmRawData*>(modal);
            QVERIFY(window && test::ShowActive(*window));
            QCOMPARE(window->windowTitle(), "Raw Data - " + Q(r.Key) + " / ALL");
            QVERIFY(test::TypeText("414243"));
            window->Dump();
            CloseModal(modal);
        });
        o.w.Command("mnuEditRawData")->trigger();
        QCOMPARE(o.s.prompt.Texts().back(), "Raw data was dumped to file " + dumped.string());
        QCOMPARE(test::ReadBytes(dumped), expected);
        QCOMPARE(history.Count(), steps + 1);
        QCOMPARE(history.UndoName(), std::string("Edit Raw Data"));
        QCOMPARE(o.file.CurrentData(o.file.Records().at(1)).at(2), std::uint8_t('C'));
        o.s.context.files.History().Undo();
        QVERIFY(o.w.SaveFile(false));
        QCOMPARE(test::ReadBytes(o.path), original);
    }

    // Load All Support Files finds masters in any letter case, in the data folder and in the
    // data folders of openmw.cfg (the later one winning), and leaves nothing open of a master
    // it could not load.
    void loadAllFindsMastersInEveryDataFolder() {
        test::EditorSession s;
        test::TempDir config;
        const std::filesystem::path mods = config / "mods";
        std::filesystem::create_directories(config / "openmw");
        std::filesystem::create_directories(mods);
        std::ofstream(config / "openmw" / "openmw.cfg") << "data=\"" << s.DataFolder().string() << "\"\ndata=\""
                                                        << mods.string() << "\"\n";
        const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
        const auto master = [](const char* id) { return Concat({HeaderRecord(1, 1), test::Gmst(id)}); };
        test::WriteBytes(s.DataFolder() / "Morrowind.esm", master("sData"));
        test::WriteBytes(s.DataFolder() / "Mod.esm", master("sOverridden"));
        test::WriteBytes(mods / "mod.ESM", master("sMods"));
        test::WriteBytes(s.DataFolder() / "Short.esm", Bytes(10, 0));
        const std::string plugin = (s.DataFolder() / "p.esp").string();
        test::WriteBytes(plugin, Concat({HeaderRecord(1, 0, {{"MORROWIND.ESM", 1}, {"mod.esm", 2}, {"Gone.esm", 3},
                                                             {"short.esm", 4}}),
                                         test::Gmst("sPlugin")}));
        frmMain& w = s.Window();
        w.OpenFiles({Q(plugin)});
        test::OnNextModal([](QWidget* modal) {
            auto* support = qobject_cast<frmSupport*>(modal);
            QVERIFY(support);
            support->LoadAll();
            support->reject();
        });
        w.Command("mnuSupportFiles")->trigger();
        qputenv("XDG_CONFIG_HOME", xdg);

        const std::string data = (s.DataFolder() / "Morrowind.esm").string(), mod = (mods / "mod.ESM").string();
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>", Q(data), Q(mod), Q(plugin)}));
        QVERIFY(s.context.files.Find(data)->IsSupport);
        QCOMPARE(s.context.files.Find(mod)->Records().at(1).ID, std::string("sMods"));
        QCOMPARE(s.context.files.Count(), std::size_t(4));
        QCOMPARE(s.prompt.Texts().back(),
                 "These master files were not loaded, as no data folder holds them:\nGone.esm\n\nData folders "
                 "searched:\n" + s.DataFolder().string() + "\n" + mods.string() +
                 "\n\nThese master files could not be loaded:\n" + (s.DataFolder() / "Short.esm").string());
        QVERIFY(!s.context.files.Find(plugin)->Changed);
    }

    void conflictsListFilterCompareAndCopyAVersionIn() {
        MasterAndPlugin f({Setting("sOne", "a"), Setting("sTwo", "b"), Global("gX", 1.0f)},
                          {Setting("sOne", "a"), Setting("sTwo", "c"), Global("gX", 2.0f), Setting("sNew", "n")});
        f.s.Window().Command("mnuToolsConflicts")->trigger();
        auto* window = f.s.Window().findChild<frmConflicts*>();
        QVERIFY(window && test::ShowActive(*window));
        QTableView* list = window->List();
        auto cell = [](QTableView* view, int row, int column) { return view->model()->index(row, column).data().toString(); };
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(cell(list, 0, 4), QString("identical"));
        QCOMPARE(cell(list, 1, 2), QString("m.esm, p.esp"));
        QCOMPARE(cell(list, 1, 3), QString("p.esp"));
        QCOMPARE(cell(list, 2, 4), QString("differs FLTV"));

        // Keys go to whatever has the focus: the check box, then the filter.
        window->DiffersOnly()->setFocus();
        QVERIFY(test::Press(Qt::Key_Space));
        QCOMPARE(list->model()->rowCount(), 2);
        window->Filter()->setFocus();
        QVERIFY(test::TypeText("stw"));
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(cell(list, 0, 1), QString("sTwo"));

        list->setFocus();
        QVERIFY(test::Press(Qt::Key_Down));
        QVERIFY(window->ComparisonRows()->Comparison());
        QTableView* grid = window->Comparison();
        int valueRow = -1;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (cell(grid, r, 1) == "Value") valueRow = r;
        QVERIFY(valueRow >= 0);
        const QModelIndex master = grid->model()->index(valueRow, ComparisonModel::kFirstVersion);
        QCOMPARE(master.data().toString(), QString("b"));
        QCOMPARE(cell(grid, valueRow, ComparisonModel::kFirstVersion + 1), QString("c"));
        QVERIFY(master.data(Qt::BackgroundRole).isValid()); // the versions differ: highlighted
        QVERIFY(!grid->model()->index(0, ComparisonModel::kFirstVersion).data(Qt::BackgroundRole).isValid()); // NAME
        test::Shoot(*window, "frmConflicts");

        // The master's value into the plug-in, by mouse.
        grid->setCurrentIndex(master);
        QCOMPARE(window->Target()->currentText(), QString("p.esp"));
        QTest::mouseClick(window->findChild<QPushButton*>("Copy"), Qt::LeftButton);
        QCOMPARE(Value(*f.plugin_, "sTwo"), std::string("b"));
        QVERIFY(f.plugin_->Changed);
        QCOMPARE(list->model()->rowCount(), 0); // sTwo no longer differs
        window->DiffersOnly()->setChecked(false);
        window->Filter()->clear();
        QCOMPARE(cell(list, 1, 4), QString("identical"));
        window->close();
    }

    void openLoadOrderOpensTheMastersForSupportAndThePickedPluginForEditing() {
        test::EditorSession s;
        test::TempDir home;
        const auto data = home / "data";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "config" / "openmw");
        test::WriteBytes(data / "M.ESM", Concat({HeaderRecord(1, 1), Setting("sOne", "a")}));
        test::WriteBytes(data / "p.esp", Concat({HeaderRecord(1, 0, {{"m.esm", 1}}), Setting("sOne", "b")}));
        test::WriteBytes(data / "q.esp", Concat({HeaderRecord(1, 0, {{"m.esm", 1}}), Setting("sOne", "c")}));
        std::ofstream(home / "config" / "openmw" / "openmw.cfg")
            << "data=\"" << data.string() << "\"\ncontent=m.esm\ncontent=p.esp\ncontent=q.esp\ncontent=gone.esp\n";
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        bool shown = false;
        test::OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmLoadOrder*>(modal);
            QVERIFY(dialog);
            shown = true;
            QListWidget* list = dialog->List();
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->item(3)->text(), QString("gone.esp (not found)"));
            QVERIFY(!(list->item(3)->flags() & Qt::ItemIsEnabled));
            QCOMPARE(list->currentRow(), 2); // the last plug-in found
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            test::Shoot(*dialog, "frmLoadOrder");
            list->setFocus();
            QVERIFY(test::Press(Qt::Key_Up) && test::Press(Qt::Key_Return));
        });
        s.Window().Command("mnuFileOpenLoadOrder")->trigger();
        ::unsetenv("XDG_CONFIG_HOME");
        QVERIFY(shown);
        std::vector<std::string> open;
        for (const auto& e : s.context.files)
            if (!e.value->Clipboard)
                open.push_back(std::filesystem::path(e.key).filename().string() + (e.value->IsSupport ? " support" : ""));
        QCOMPARE(open, (std::vector<std::string>{"M.ESM support", "p.esp", "q.esp support"}));
        QCOMPARE(s.Window().CurrentKey(), Q((data / "p.esp").string()));
        QVERIFY(s.prompt.Saw("These files of the load order are in none of its data folders and were not opened: gone.esp"));
    }

    // Cleaning lists first and removes only what stays ticked; the removal is one step that undo
    // takes back to the very bytes of the plug-in.
    void cleaningListsFirstRemovesOnlyWhatStaysTickedAndUndoes() {
        // The plug-in's cell repeats the master's first reference (numbered by its master list)
        // and adds one of its own.
        MasterAndPlugin f({Setting("sOne", "a"), Setting("sTwo", "b"), Cell({{"crate", 1}, {"barrel", 2}})},
                          {Setting("sOne", "a"), Setting("sMaxSale", "Max Sale"), Setting("sTwo", "other"),
                           Setting("sWerewolfPopup", "Werewolf"), Cell({{"crate", 0x01000001}, {"chest", 1}})});
        const std::string path = f.plugin_->FileName;
        const Bytes original = test::ReadBytes(path);
        bool shown = false;
        test::OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<frmClean*>(modal);
            QVERIFY(window);
            shown = true;
            TextTableModel* rows = window->List();
            QCOMPARE(rows->rowCount(), 4);
            QCOMPARE(rows->index(3, 1).data().toString(), QString("1 references identical to m.esm"));
            QCOMPARE(rows->index(0, 0).data().toString(), QString("GMST sOne"));
            QCOMPARE(rows->index(0, 1).data().toString(), QString("identical to m.esm"));
            QCOMPARE(rows->index(1, 1).data().toString(), QString("dirty game setting"));
            test::Shoot(*window, "frmClean");
            QVERIFY(QTest::qWaitForWindowActive(window));
            // Untick the second entry with the keyboard.
            window->Grid()->setFocus();
            window->Grid()->setCurrentIndex(rows->index(1, 0));
            QVERIFY(test::Press(Qt::Key_Space));
            QVERIFY(!rows->At(1).checked);
            QTest::mouseClick(window->RemoveButton(), Qt::LeftButton);
        });
        f.s.Window().Command("mnuToolsCleanPlugin")->trigger();
        QVERIFY(shown);
        QVERIFY(f.s.prompt.Saw("removed 2 of 5 records"));
        std::vector<std::string> left;
        for (const RecordEntry& r : f.plugin_->Records()) left.push_back(r.Name + " " + r.ID);
        QCOMPARE(left, (std::vector<std::string>{"TES3 ", "GMST sMaxSale", "GMST sTwo", "CELL Vellum Hall"}));
        QVERIFY(f.plugin_->Changed);

        QCOMPARE(UndoCaptions(f.s.Window())[0], QString("&Undo Clean 3 Records"));
        QVERIFY(test::ShowActive(f.s.Window()));
        QVERIFY(test::Press(Qt::Key_Z, Qt::ControlModifier));
        QVERIFY(!f.plugin_->Changed);
        QVERIFY(f.s.Window().SaveFile(false));
        QCOMPARE(test::ReadBytes(path), original);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
