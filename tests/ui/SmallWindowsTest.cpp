// The small pieces under the windows (recent files, file-button captions, progress, busy count,
// the prompt, the book preview) and the small windows (file type, template chooser, options,
// multi-line editor).
#include "UiTestSupport.h"

#include "template/Config.h"
#include "ui/BookPreview.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/FileButtonBar.h"
#include "ui/frmChangeFileType.h"
#include "ui/frmEditText.h"
#include "ui/frmOptions.h"
#include "ui/frmTemplateChooser.h"
#include "ui/LegacyText.h"
#include "ui/QtPrompt.h"
#include "ui/RecentFiles.h"
#include "ui/StatusProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;

class SmallWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void recentFilesCaptionAndSettingsRoundTrip() {
        QCOMPARE(RecentFiles::Caption(2, std::string(31, 'a')), "&2. " + std::string(27, 'a') + "...");
        QCOMPARE(RecentFiles::Caption(2, std::string(30, 'a')), "&2. " + std::string(30, 'a'));
        RecentFiles r;
        r.Add("a.esp", "/x/a.esp");
        r.Add("b.esp", "/x/b.esp");
        Config settings;
        settings.OpenText("[Recentfiles]\nold = /gone\n");
        r.Save(settings);
        QCOMPARE(settings.FindGroup("RecentFiles")->Variables.Count(), std::size_t(2));
        RecentFiles back;
        back.Load(settings);
        QCOMPARE(back.Entries().size(), std::size_t(2));
        QCOMPARE(back.Entries()[0].path, std::string("/x/b.esp"));
    }

    void fileButtonCaptionsAreCut() {
        QCOMPARE(FileButtonBar::ShortTitle(QString(25, 'x')), QString(25, 'x'));
        QCOMPARE(FileButtonBar::ShortTitle(QString(26, 'x')), QString(22, 'x') + "...");
        // Plenty of room: titles as they are.
        QCOMPARE(FileButtonBar::FitCaptions({"a.esp", "b.esp"}, 100), QStringList({"a.esp", "b.esp"}));
        // 24 characters for 2 buttons: 8 each, "..." included.
        const QStringList cut = FileButtonBar::FitCaptions({"Morrowind_Patch.esp", "short"}, 24);
        QCOMPARE(cut[0], QString("Morro..."));
        QCOMPARE(cut[1], QString("short"));
        // Never fewer than three characters.
        QCOMPARE(FileButtonBar::FitCaptions({"abcdef", "ghijkl"}, 2), QStringList({"...", "..."}));
    }

    void fileBarPressesByKey() {
        FileButtonBar bar;
        bar.Rebuild({{"<Clipboard>", "Clipboard", false}, {"/a/m.esm", "m.esm", true}, {"/a/p.esp", "p.esp", false}});
        QCOMPARE(bar.Keys(), QStringList({"<Clipboard>", "/a/m.esm", "/a/p.esp"}));
        bar.PressButton("/a/p.esp");
        QCOMPARE(bar.PressedKey(), QString("/a/p.esp"));
        bar.Rebuild({{"<Clipboard>", "Clipboard", false}, {"/a/p.esp", "p.esp", false}});
        QCOMPARE(bar.PressedKey(), QString("/a/p.esp")); // survives a rebuild
    }

    void progressBarRulesAndCancel() {
        QLabel text;
        QProgressBar bar;
        QPushButton cancel;
        text.setText("a.esp");
        StatusProgress p(&text, &bar, &cancel);
        QVERIFY(!cancel.isEnabled());
        p.Waiting(40, "Loading");
        QCOMPARE(bar.value(), 40);
        QCOMPARE(text.text(), QString("Loading"));
        QVERIFY(cancel.isEnabled());
        p.Waiting(250, {});
        QCOMPARE(bar.value(), 100);
        QCOMPARE(text.text(), QString("Loading")); // empty text leaves the panel
        p.Waiting(-1, {}); // unknown progress wraps after 100
        QCOMPARE(bar.value(), 0);
        p.Waiting(-1, {});
        QCOMPARE(bar.value(), 1);
        cancel.click();
        QVERIFY(p.Cancelled());
        p.DoneWaiting();
        QCOMPARE(bar.value(), 0);
        QCOMPARE(text.text(), QString("a.esp")); // the progress text goes with the waiting
        QVERIFY(!p.Cancelled());
        QVERIFY(!cancel.isEnabled());
        p.Waiting(10, "Saving");
        text.setText("b.esp"); // written while waiting: kept
        p.DoneWaiting();
        QCOMPARE(text.text(), QString("b.esp"));
    }

    void progressYieldsAreThrottled() {
        QLabel text;
        QProgressBar bar;
        StatusProgress p(&text, &bar, nullptr);
        for (int i = 0; i < 100000; ++i)
            p.Waiting(i / 1000.0, {});
        QVERIFY(p.YieldCount() >= 1);
        QVERIFY(p.YieldCount() < 1000);
    }

    void busyCountNeverNegative() {
        QList<bool> seen;
        SetBusyHandler([&](bool busy) { seen << busy; });
        EndBusy();
        QCOMPARE(BusyCount(), 0);
        {
            BusyGuard outer;
            BusyGuard inner;
            QCOMPARE(BusyCount(), 2);
        }
        QCOMPARE(BusyCount(), 0);
        QCOMPARE(seen, QList<bool>({true, false}));
        SetBusyHandler({});
    }

    void promptShowsTitleAndAnswers() {
        QtPrompt prompt;
        QString title, text;
        test::OnNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(prompt.Ask("Save changes to a.esp before closing?", Buttons::YesNoCancel, {}), Answer::No);
        QCOMPARE(title, QString("Vellum Editor"));
        QCOMPARE(text, QString("Save changes to a.esp before closing?"));
        test::OnNextModal([&](QWidget* w) {
            title = w->windowTitle();
            qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(prompt.Ask("Revert?", Buttons::YesNo, "Confirm File Revert"), Answer::Yes);
        QCOMPARE(title, QString("Confirm File Revert"));
    }

    // The conversions themselves are the core's code-page tables.
    void legacyTextFollowsTheChosenPage() {
        SetTextCodePage(1251);
        QCOMPARE(ToFileText(FromFileText("\xC0")), std::string("\xC0"));
        QCOMPARE(FromFileText("\xC0"), QString(QChar(0x0410)));
        SetTextCodePage(999); // unsupported: back to 1252
        QCOMPARE(TextCodePage(), 1252);
    }

    void bookPreviewPage() {
        const std::string html =
            BookPreviewHtml("@Title#<BR><IMG SRC=\"b\\x.tga\">", "bg.bmp", "/games/mw/Data Files/");
        QCOMPARE(QString::fromStdString(html),
                 QString("<HTML> <BODY>\n<TABLE background='bg.bmp' width = 393 CELLPADDING=20>\n<td>\n"
                         "<FONT COLOR = 0000ff>Title</FONT><BR><IMG SRC=\"/games/mw/Data Files/BookArt/b\\x.tga\">\n"
                         "</td></tr></Table>\n</BODY> </HTML>\n"));
    }

    void changeFileTypeStartsOnCurrentType() {
        frmChangeFileType master(0);
        QCOMPARE(master.SelectedType(), 0);
        frmChangeFileType odd(7);
        QCOMPARE(odd.SelectedType(), -1); // indeterminate changes nothing
        odd.Select(2);
        QCOMPARE(odd.SelectedType(), 2);
    }

    void templateChooserListsWithoutExtension() {
        test::TempDir dir;
        std::ofstream(dir / "Plugin.esp") << "x";
        std::ofstream(dir / "Master.esm") << "x";
        frmTemplateChooser chooser(dir.path());
        QCOMPARE(chooser.List()->count(), 2);
        QCOMPARE(chooser.List()->item(0)->text(), QString("Master"));
        chooser.List()->setCurrentRow(1);
        chooser.accept();
        QCOMPARE(chooser.Chosen(), QString("Plugin.esp"));
    }

    // OK copies the values (the main window's options test); Cancel keeps them and undoes the
    // view changes that showed at once.
    void optionsCancelKeepsValuesAndUndoesViewChanges() {
        EditorContext c;
        c.values.ConfirmCut = false;
        frmOptions dialog(c);
        int changes = 0;
        connect(&dialog, &frmOptions::viewChanged, [&] { ++changes; });
        dialog.Box("ConfirmCut")->setChecked(true);
        dialog.Encoding()->setCurrentIndex(dialog.Encoding()->findData(1251));
        dialog.Box("ViewRecordTypes")->setChecked(true);
        QVERIFY(c.values.ViewRecordTypes);
        QCOMPARE(changes, 1);
        dialog.reject();
        QVERIFY(!c.values.ViewRecordTypes);
        QCOMPARE(changes, 2);
        QVERIFY(!c.values.ConfirmCut);
        QCOMPARE(c.codePage, 1252);
    }

    void optionsClearingSafeEditingAsks() {
        EditorContext c;
        test::PromptRecorder prompt;
        prompt.answers = {Answer::No};
        frmOptions dialog(c);
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(dialog.Box("EnableSafeEdit")->isChecked()); // No puts the check back
        QCOMPARE(prompt.calls.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompt.calls[0].text),
                 QString("Safe editing ensures that the editor scans for dependencies when you delete, cut or copy."
                         "Without safe editing it is possible to delete entries that other entries rely on and "
                         "copy entries without the entries that they rely on.\n\nAre you sure you want to TURN "
                         "OFF safe editing?"));
        prompt.answers = {Answer::Yes};
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(!dialog.Box("EnableSafeEdit")->isChecked());
    }

    void editTextKeepsLineEnds() {
        frmEditText crlf("a\r\nb", false);
        QCOMPARE(crlf.Editor()->toPlainText(), QString("a\nb"));
        QCOMPARE(crlf.Text(), QString("a\r\nb"));
        frmEditText lf("a\nb", true);
        QCOMPARE(lf.Text(), QString("a\nb"));
        QString previewed;
        lf.SetPreview([&](const QString& t) { previewed = t; });
        const auto buttons = lf.findChildren<QPushButton*>();
        for (QPushButton* b : buttons)
            if (b->text() == "HT&ML")
                b->click();
        QCOMPARE(previewed, QString("a\nb"));
    }
};

QTEST_MAIN(SmallWindowsTest)
#include "SmallWindowsTest.moc"
