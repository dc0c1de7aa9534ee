// The small pieces under the windows: recent files, file-button captions, progress, busy count,
// the prompt, the book preview.
#include "UiTestSupport.h"

#include "template/Config.h"
#include "ui/BookPreview.h"
#include "ui/Busy.h"
#include "ui/FileButtonBar.h"
#include "ui/LegacyText.h"
#include "ui/QtPrompt.h"
#include "ui/RecentFiles.h"
#include "ui/StatusProgress.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

class PartsTest : public QObject {
    Q_OBJECT
private slots:
    void recentFilesKeepFiveNewestFirst() {
        RecentFiles r;
        for (int i = 1; i <= 6; ++i)
            r.Add("f" + std::to_string(i) + ".esp", "/d/f" + std::to_string(i) + ".esp");
        QCOMPARE(r.Entries().size(), std::size_t(5));
        QCOMPARE(r.Entries().front().display, std::string("f6.esp"));
        QCOMPARE(r.Entries().back().display, std::string("f2.esp")); // f1 fell off
        r.Add("f4.esp", "/d/f4.esp"); // moves to the top, no duplicate
        QCOMPARE(r.Entries().size(), std::size_t(5));
        QCOMPARE(r.Entries()[0].path, std::string("/d/f4.esp"));
        QCOMPARE(r.Entries()[1].path, std::string("/d/f6.esp"));
    }

    void recentFilesCaptionAndSettingsRoundTrip() {
        QCOMPARE(RecentFiles::Caption(1, "Morrowind.esm"), std::string("&1. Morrowind.esm"));
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
        QVERIFY(!p.Cancelled());
        QVERIFY(!cancel.isEnabled());
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

    void legacyTextRoundTrips() {
        SetTextCodePage(1251);
        QCOMPARE(FromFileText("\xC0"), QString(QChar(0x0410)));
        QCOMPARE(ToFileText(QString(QChar(0x0410))), std::string("\xC0"));
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
};

QTEST_MAIN(PartsTest)
#include "PartsTest.moc"
