// Desktop habits of the main window: dropped files, remembered geometry, settings written on
// exit, shortcuts, the splash, the debug window, busy state.
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmOptions.h"
#include "ui/frmDebug.h"
#include "ui/frmIntro.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

class MainWindowHabitsTest : public QObject {
    Q_OBJECT
private slots:
    void droppedFilesOpen() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = s.Copy("blank.esp");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QVERIFY(w.acceptDrops());
        QVERIFY(w.OpenDropped(data));
        QTRY_VERIFY_WITH_TIMEOUT(s.context.files.Exists(path), 2000);
    }

    void exitWritesSettingsAndGeometry() {
        test::EditorSession s;
        {
            frmMain& w = s.Window();
            w.resize(900, 640);
            w.AddRecentFile("a.esp", "/x/a.esp");
            s.context.codePage = 1251;
            QVERIFY(w.close());
        }
        Config saved;
        QCOMPARE(saved.OpenFile((s.ProgramFolder() / "Vellum.ini").string()), 0);
        QCOMPARE(saved.GetVar("View", "Encoding"), std::string("1251"));
        QCOMPARE(saved.GetVar("RecentFiles", "a.esp"), std::string("/x/a.esp"));
        QVERIFY(!saved.GetVar("Window", "Geometry").empty());
        QCOMPARE(saved.GetVar("Editing", "EnableSafeEdit"), std::string("True"));
    }

    void exitAsksOnlyYesNoForChangedFiles() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = s.Open("blank.esp");
        s.context.files.Find(path)->Changed = true;
        s.prompt.calls.clear();
        s.prompt.answers = {Answer::No};
        QVERIFY(w.close());
        QCOMPARE(s.prompt.calls.front().text, std::string("Save changes to blank.esp before closing?"));
        QCOMPARE(s.prompt.calls.front().buttons, Buttons::YesNo);
    }

    void optionsFromTheToolsMenu() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        s.Open("blank.esm");
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

    void desktopShortcuts() {
        test::EditorSession s;
        frmMain& w = s.Window();
        QCOMPARE(w.Command("mnuFileOpen")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(w.Command("mnuFileSave")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(w.Command("mnuFileSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(w.Command("mnuFileClose")->shortcut(), QKeySequence("Ctrl+W"));
        QCOMPARE(w.Command("mnuEditFind")->shortcut(), QKeySequence("Ctrl+F"));
        QCOMPARE(w.Command("mnuEditFindAll")->shortcut(), QKeySequence("Ctrl+Shift+F"));
        QCOMPARE(w.Command("Back")->shortcut(), QKeySequence("Alt+Left"));
        QCOMPARE(w.Command("Forward")->shortcut(), QKeySequence("Alt+Right"));
        QCOMPARE(w.Command("mnuHelpCredits")->shortcut(), QKeySequence(QKeySequence::HelpContents));
        QCOMPARE(w.Command("FileOpen"), w.Command("mnuFileOpen"));
        QCOMPARE(w.Command("Find")->toolTip(), QString("Find Text/Record/Subrecord"));
    }

    void busyDisablesAllButCancel() {
        test::EditorSession s;
        frmMain& w = s.Window();
        {
            BusyGuard busy;
            QVERIFY(!w.menuBar()->isEnabled());
            QVERIFY(w.findChild<QPushButton*>("CancelButton")->parentWidget()->isEnabled());
        }
        QVERIFY(w.menuBar()->isEnabled());
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
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = s.Open("blank.esm");
        w.Command("Debug")->trigger();
        auto* debug = w.findChild<frmDebug*>();
        QVERIFY(debug && debug->isVisible());
        esfile& f = *s.context.files.Find(path);
        std::string key;
        for (const RecordEntry& r : f.Records())
            if (r.Name == "GMST" && r.ID == "gmst01")
                key = r.Key;
        w.Editor().GotoRecord("GMST", key, path, "NAME", true);
        QVERIFY(debug->Listing().startsWith("Record: "));
        QVERIFY(debug->Listing().contains("   SubRecord: NAME"));
        QVERIFY(debug->Listing().contains("    RAW DATA  103  109  115  116  48  49  0"));
        w.Command("Debug")->trigger();
        QVERIFY(!debug->isVisible());
    }
};

QTEST_MAIN(MainWindowHabitsTest)
#include "MainWindowHabitsTest.moc"
