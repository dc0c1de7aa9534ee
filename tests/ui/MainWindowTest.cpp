// The main window: the file commands (open, close, save, save as, recent files, new, the
// safe-editing and template questions) and desktop habits (dropped files, settings and geometry
// written on exit, options, shortcuts, busy state, the splash, the debug window).
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "model/FileBuffer.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "ui/Busy.h"
#include "ui/DesktopOpen.h"
#include "ui/FileButtonBar.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmDebug.h"
#include "ui/frmIntro.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "ui/frmTemplateChooser.h"
#include "ui/LegacyText.h"
#include "ui/RecordTreeModel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void openSeveralSkipsOpenAndStopsAtMissing() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        QCOMPARE(w.windowTitle(), QString("Clipboard - Vellum Editor 0.91 beta"));
        QVERIFY(!w.Command("mnuFileClose")->isEnabled() && w.Command("mnuEditFind")->isEnabled());
        const QString a = QString::fromStdString(s.Copy("blank.esm"));
        const QString b = QString::fromStdString(s.Copy("blank.esp"));
        w.OpenFiles({a, b});
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>", a, b}));
        QCOMPARE(w.CurrentKey(), b);
        QCOMPARE(w.windowTitle(), QString("blank.esp - Vellum Editor 0.91 beta"));
        QVERIFY(w.Command("mnuFileClose")->isEnabled());
        w.OpenFiles({a}); // already open: not twice
        QCOMPARE(s.context.files.Count(), std::size_t(3));
        const QString missing = QString::fromStdString((s.DataFolder() / "gone.esp").string());
        const QString c = QString::fromStdString(s.Copy("flin.esp"));
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
            const QString path = QString::fromStdString(copy.string());
            w.OpenFiles({path});
            if (s.context.files.Exists(path.toStdString())) {
                for (int row = 0; row < w.Editor().Model()->rowCount(); ++row)
                    w.Editor().Tree()->setCurrentIndex(w.Editor().Model()->index(row, 0));
                QVERIFY(w.CloseFile(path, true));
            }
        }
        QVERIFY(s.prompt.Saw("Warning! The Vellum Editor was unable to properly load the file " +
                             (s.DataFolder() / "empty.esp").string()));
    }

    void closeAsksAboutChangedFiles() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const QString a = QString::fromStdString(s.Copy("blank.esm"));
        w.OpenFiles({a});
        s.context.files.Find(a.toStdString())->Changed = true;
        s.prompt.answers = {Answer::Cancel};
        QVERIFY(!w.CloseFile(a, true));
        QVERIFY(s.context.files.Exists(a.toStdString()));
        QCOMPARE(s.prompt.calls.back().text, std::string("Save changes to blank.esm before closing?"));
        QCOMPARE(s.prompt.calls.back().buttons, Buttons::YesNoCancel);
        s.prompt.answers = {Answer::No};
        QVERIFY(w.CloseFile(a, true));
        QVERIFY(!s.context.files.Exists(a.toStdString()));
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>"}));
        QVERIFY(!w.Command("mnuFileClose")->isEnabled());
    }

    void saveAsRefusesOfficialMasters() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = (s.DataFolder() / "Tribunal.esm").string();
        std::filesystem::copy_file(test::PluginsDir() / "blank.esm", path);
        w.OpenFiles({QString::fromStdString(path)});
        // Save on an official master shows the dialog; a name ending in an official one is refused.
        test::AnswerFileDialog(QString::fromStdString((s.DataFolder() / "MyTRIBUNAL.ESM").string()));
        QVERIFY(!w.SaveFile(false));
        QVERIFY(s.prompt.Saw("You cannot save to the specified filename because it is an official Morrowind master "
                             "file. Please select save again and enter a different filename in order to save the "
                             "file."));
        QVERIFY(!std::filesystem::exists(s.DataFolder() / "MyTRIBUNAL.ESM"));
        const std::string other = (s.DataFolder() / "MyTribunalEdit.esm").string();
        test::AnswerFileDialog(QString::fromStdString(other));
        QVERIFY(w.SaveFile(false));
        QVERIFY(std::filesystem::exists(other));
        QCOMPARE(w.Recent().Entries().front().path, other);
    }

    void saveAsOfTheClipboardMakesANewClipboard() {
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string target = (s.DataFolder() / "FromClipboard.esp").string();
        test::AnswerFileDialog(QString::fromStdString(target));
        w.ClickFileButton("<Clipboard>");
        QVERIFY(w.SaveFile(true));
        QVERIFY(!s.context.files.Find("<Clipboard>")->Clipboard);
        QVERIFY(s.context.files.Exists("<Clipboard1>"));
        QVERIFY(s.context.files.Find("<Clipboard1>")->Clipboard);
    }

    void recentFilesMenu() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const char* names[] = {"blank.esm", "blank.esp", "flin.esp", "fm_lightning.esp", "immersivetravel.esp",
                               "the_publicans_bcom_patch.esp"};
        for (const char* n : names)
            w.OpenFiles({QString::fromStdString(s.Copy(n))});
        QCOMPARE(w.Recent().Entries().size(), std::size_t(5)); // the oldest fell off
        QCOMPARE(w.Recent().Entries().front().display, std::string("the_publicans_bcom_patch.esp"));
        QCOMPARE(w.Recent().Entries().back().display, std::string("blank.esp"));
        QAction* first = w.findChild<QAction*>("mnuFileRecent1");
        QVERIFY(first);
        QCOMPARE(first->text(), QString("&1. the_publicans_bcom_patch.esp"));
        QVERIFY(!w.findChild<QAction*>("mnuFileRecent6"));
        // Closing and reopening from the list moves the entry to the top.
        const QString flin = QString::fromStdString((s.DataFolder() / "flin.esp").string());
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
                QVERIFY(chooser);
                QVERIFY(chooser->List()->count() >= 1);
                chooser->accept();
            });
            w.NewFile();
        }
        QVERIFY(s.context.files.Exists("NewFile"));
        QVERIFY(s.context.files.Exists("NewFile001"));
        esfile* f = s.context.files.Find("NewFile001");
        QVERIFY(f->Changed && !f->FileExists);
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
        QVERIFY(s.context.values.EnableSafeEdit);
        QVERIFY(w.Command("mnuEditSafeEditing")->isChecked());
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
        SetDesktopOpener([&opened](const QString& path) {
            opened << path;
            return true;
        });
        w.OpenFiles({QString::fromStdString(s.Copy("blank.esm"))});
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
        QVERIFY(templateEditor); // the configuration editor, not the desktop's text editor
        QVERIFY(templateEditor->IsTemplate());
        QVERIFY(opened.isEmpty());
        SetDesktopOpener({});
        // Vellum.ini edited there: it showed the settings in force, and its edit holds on close.
        Config ini;
        ini.OpenFile(s.context.SettingsPath().string());
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
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QVERIFY(w.acceptDrops());
        QVERIFY(w.OpenDropped(data));
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
        Config saved;
        QCOMPARE(saved.OpenFile((s.ProgramFolder() / "Vellum.ini").string()), 0);
        QCOMPARE(saved.GetVar("View", "Encoding"), std::string("1251"));
        QCOMPARE(saved.GetVar("RecentFiles", "a.esp"), std::string("/x/a.esp"));
        QVERIFY(!saved.GetVar("Window", "Geometry").empty());
        QCOMPARE(saved.GetVar("Editing", "EnableSafeEdit"), std::string("True"));
    }

    void optionsFromTheToolsMenu() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
        auto& [s, path, w, ed, model, file] = o;
        test::OnNextModal([](QWidget* d) {
            auto* options = qobject_cast<frmOptions*>(d);
            QVERIFY(options);
            options->Box("ViewRecordTypes")->setChecked(true);
            options->Box("EnableDelete")->setChecked(true);
            options->Encoding()->setCurrentIndex(options->Encoding()->findData(1250));
            options->accept();
        });
        w.Command("mnuToolsOptions")->trigger();
        QCOMPARE(w.Editor().Model()->CategoryIndex("GMST").data().toString(), QString("GMST Game Settings  (10)"));
        // Deleting is allowed at once: the menu's flag and the command follow the dialog.
        QVERIFY(w.Command("mnuEditEnableDelete")->isChecked());
        w.Editor().GotoRecord("GMST", {}, {}, {}, true);
        QVERIFY(w.Command("mnuEditDelete")->isEnabled());
        Config saved;
        QCOMPARE(saved.OpenFile((s.ProgramFolder() / "Vellum.ini").string()), 0);
        QCOMPARE(saved.GetVar("View", "ViewRecordTypes"), std::string("True"));
        QCOMPARE(saved.GetVar("View", "Encoding"), std::string("1250"));
        QCOMPARE(saved.GetVar("Editing", "EnableDelete"), std::string("True"));
        QCOMPARE(TextCodePage(), 1250);
        SetTextCodePage(1252);
    }

    // Save keeps the file's order; "Sort records by type when saving" writes it type by type.
    // "Map data files into memory" off reads the next file into memory.
    void saveKeepsTheOrderUnlessTheOptionSorts() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const Bytes original = test::ReadBytes(path);
        auto types = [](const Bytes& bytes) {
            QStringList out;
            for (const test::RawRecord& r : test::RawRecords(bytes)) out << QString::fromStdString(r.type);
            return out;
        };
        QVERIFY(w.SaveFile(false));
        QCOMPARE(types(test::ReadBytes(path)), types(original));
        QCOMPARE(test::ReadBytes(path + ".bak"), original);

        test::OnNextModal([](QWidget* d) {
            auto* options = qobject_cast<frmOptions*>(d);
            QVERIFY(options && !options->Box("SortRecordsWhenSaving")->isChecked() && options->Box("MapFiles")->isChecked());
            options->Box("SortRecordsWhenSaving")->setChecked(true);
            options->Box("MapFiles")->setChecked(false);
            options->accept();
        });
        w.Command("mnuToolsOptions")->trigger();
        QVERIFY(w.SaveFile(false));
        const QStringList sorted = types(test::ReadBytes(path));
        QVERIFY(sorted != types(original));
        QCOMPARE(sorted.size(), types(original).size());
        for (const QString& t : sorted) // each type in one run, responses among their topics
            if (t != "INFO" && t != "DIAL")
                QCOMPARE(sorted.lastIndexOf(t) - sorted.indexOf(t) + 1, static_cast<int>(sorted.count(t)));
        Config saved;
        QCOMPARE(saved.OpenFile((s.ProgramFolder() / "Vellum.ini").string()), 0);
        QCOMPARE(saved.GetVar("Editing", "SortRecordsWhenSaving"), std::string("True"));
        QCOMPARE(saved.GetVar("Performance", "MapFiles"), std::string("False"));
        QCOMPARE(FileBuffer::CurrentMapping(), FileBuffer::Mapping::Off);
        FileBuffer::SetMapping(FileBuffer::Mapping::Leased);
    }

    void closingABigTreeReportsItsUnloading() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.NthKey("INFO", 0); // the 2,411 responses in the tree
        auto* status = o.w.findChild<QLabel*>("StatusText");
        QVERIFY(status);
        // What the status line says whenever the window lets events in during the close.
        QStringList seen;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] { seen << status->text(); });
        watch.start(0);
        QVERIFY(o.w.CloseFile(QString::fromStdString(o.path), true));
        watch.stop();
        QVERIFY2(seen.contains("Unloading Tree Node 1"), qPrintable(seen.join('|')));
    }

    void desktopShortcutsAndBusyState() {
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::pair<const char*, QKeySequence> keys[] = {
            {"mnuFileOpen", QKeySequence::Open},    {"mnuFileSave", QKeySequence("Ctrl+S")},
            {"mnuFileSaveAs", QKeySequence("Ctrl+Shift+S")}, {"mnuFileClose", QKeySequence("Ctrl+W")},
            {"mnuEditFind", QKeySequence("Ctrl+F")}, {"mnuEditFindAll", QKeySequence("Ctrl+Shift+F")},
            {"Back", QKeySequence("Alt+Left")},     {"Forward", QKeySequence("Alt+Right")},
            {"mnuHelpCredits", QKeySequence::HelpContents},
        };
        for (const auto& [command, key] : keys)
            QVERIFY2(w.Command(command)->shortcut() == key, command);
        QCOMPARE(w.Command("FileOpen"), w.Command("mnuFileOpen"));
        QCOMPARE(w.Command("Find")->toolTip(), QString("Find Text/Record/Subrecord"));
        // Busy: the menus are off (the keys and Cancel: EditorKeysTest).
        {
            BusyGuard busy;
            QVERIFY(!w.menuBar()->isEnabled());
        }
        QVERIFY(w.menuBar()->isEnabled());
    }

    // Alt and a letter reach one item: no two items of a menu (the menu bar's titles, every
    // menu, submenu and the tree's pop-up, as a record selection words them) share a letter.
    void accessKeysAreDistinctInEveryMenu() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
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
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
