// File commands of the main window: open, close, save, save as, recent files, new.
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/FileButtonBar.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmMain.h"
#include "ui/frmTemplateChooser.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTreeView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

class MainWindowFilesTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheClipboardAndTheCaption() {
        test::EditorSession s;
        frmMain& w = s.Window();
        QCOMPARE(w.windowTitle(), QString("Clipboard - Vellum Editor 0.91 beta"));
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>"}));
        QVERIFY(!w.Command("mnuFileClose")->isEnabled());
        QVERIFY(w.Command("mnuEditFind")->isEnabled());
    }

    void openSeveralSkipsOpenAndStopsAtMissing() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
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
        QCOMPARE(w.Recent().Entries().size(), std::size_t(5));
        QCOMPARE(w.Recent().Entries().front().display, std::string("the_publicans_bcom_patch.esp"));
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
        QVERIFY(f->Changed);
        QVERIFY(!f->FileExists);
        QCOMPARE(f->FileTitle, std::string("NewFile001"));
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
        SetDesktopOpenerForTest(opened);
        w.OpenFiles({QString::fromStdString(s.Copy("blank.esm"))});
        s.prompt.answers = {Answer::No};
        w.Command("mnuToolsFormatEdit")->trigger();
        QCOMPARE(s.prompt.calls.back().text,
                 std::string("All open files must be closed in to edit the format template. Do you wish to close "
                             "all open files (Yes) or cancel this process (No)?"));
        QCOMPARE(s.context.files.Count(), std::size_t(2));
        QVERIFY(opened.isEmpty());
        s.prompt.answers = {Answer::Yes};
        w.Command("mnuToolsFormatEdit")->trigger();
        QCOMPARE(s.context.files.Count(), std::size_t(1));
        auto* templateEditor = w.findChild<frmConfigEditor*>();
        QVERIFY(templateEditor); // the configuration editor, not the desktop's text editor
        QVERIFY(templateEditor->IsTemplate());
        QVERIFY(opened.isEmpty());
        templateEditor->close();

        s.prompt.answers = {Answer::No};
        w.Command("mnuToolsFormatRevert")->trigger();
        QCOMPARE(s.prompt.calls.back().title, std::string("Confirm File Revert"));
        w.Command("mnuToolsCleanSave")->trigger();
        QCOMPARE(s.prompt.calls.back().text,
                 std::string("The current file does not appear to be a save game file. Continue anyway?"));
    }

private:
    static void SetDesktopOpenerForTest(QStringList& opened);
};

#include "ui/DesktopOpen.h"
void MainWindowFilesTest::SetDesktopOpenerForTest(QStringList& opened) {
    SetDesktopOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
}

QTEST_MAIN(MainWindowFilesTest)
#include "MainWindowFilesTest.moc"
