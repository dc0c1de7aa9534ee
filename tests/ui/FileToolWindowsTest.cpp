// The windows that work on a whole file or the program: Find and Find All, the dump dialog, the
// statistics window, the support-files window, the index manager, the tools management and
// categories windows and the tool entries of the Tools menu.
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "index/IdxFile.h"
#include "model/esfile.h"
#include "model/TextDump.h"
#include "template/Config.h"
#include "ui/DesktopOpen.h"
#include "ui/frmDump.h"
#include "ui/frmIndex.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmStatistics.h"
#include "ui/frmSupport.h"
#include "ui/frmToolCategories.h"
#include "ui/frmTools.h"
#include "ui/SearchPanel.h"
#include "ui/TextTableModel.h"
#include "ui/ToolsMenuActions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::Gmst;
using test::RecordBytes;
using test::Text;

namespace {

Bytes Setting(const std::string& id, const std::string& text) {
    return RecordBytes("GMST", {{"NAME", Text(id)}, {"STRV", Text(text)}});
}

void Touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }

} // namespace

class FileToolWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // The matching rules and type lists are the core's; the windows show and pass them on.
    void findNeedsTextOrATypeAndOffersNoChildTypes() {
        test::TestPlugins plugins;
        frmSearch find(plugins.templ);
        SearchPanel* p = find.Panel();
        QVERIFY(!find.FindButton()->isEnabled());
        QCOMPARE(p->RecordType()->findText("INFO"), -1); // follows its parent
        p->RecordType()->setCurrentText("GMST");
        QVERIFY(find.FindButton()->isEnabled());
        QVERIFY(p->SubrecordType()->findText("STRV") >= 0);
        p->Text()->setText("abc  ");
        p->MatchCase()->setChecked(true);
        p->WholePhrase()->setChecked(true);
        QSignalSpy asked(&find, &frmSearch::FindRequested);
        find.FindButton()->click();
        QCOMPARE(asked.count(), 1);
        const auto c = asked.at(0).at(0).value<SearchCriteria>();
        QCOMPARE(c.Text, std::string("abc"));
        QVERIFY(c.MatchCase && c.WholePhrase);
        QCOMPARE(c.RecordType, std::string("GMST"));
        test::Shoot(find, "frmSearch");
    }

    void findAllInAllOpenFilesWithGoTo() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "Hello ABC world"), Setting("sTwo", "abc")});
        esfile& b = plugins.Add("b.esp", {Setting("sThree", "xABCx")});
        std::vector<esfile*> open{&a, &b};
        frmSearchAll window(plugins.templ, [&] { return open; }, &a);
        window.Panel()->Text()->setText("abc");
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 2); // the current file only
        window.Panel()->AllFiles()->setChecked(true);
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 3);
        test::Shoot(window, "frmSearchAll");
        QSignalSpy goTo(&window, &frmSearchAll::GoTo);
        window.Grid()->setCurrentIndex(window.Results()->index(2, 0));
        window.GoToButton()->click();
        QCOMPARE(goTo.count(), 1);
        QCOMPARE(goTo.at(0).at(0).toString(), QString::fromStdString(b.FileName));
        QCOMPARE(goTo.at(0).at(1).toString(), QString("GMST1"));
        QCOMPARE(goTo.at(0).at(2).toString(), QString("STRV"));
        QVERIFY(a.Rec("GMST1").Packed); // searching left the records packed
        window.Panel()->Text()->setText("nowhere");
        window.Find();
        QVERIFY(!window.GoToButton()->isEnabled());
    }

    void dumpShowsTheTextWritten() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "Hello")});
        const test::TempDir dumps;
        frmDump dialog(a, dumps.path());
        QCOMPARE(dialog.windowTitle(), QString("Dump to Text File - a.esp"));
        QVERIFY(!dialog.ViewButton()->isEnabled());
        dialog.SetMode(2);
        dialog.Headers()->setChecked(true);
        dialog.Layouts()->button(1)->setChecked(true);
        QCOMPARE(dialog.Options().Mode, 2);
        QVERIFY(!dialog.Options().TabDelimited);
        dialog.DumpToFile();
        const QString path = QString::fromStdString((dumps / "a.esp.txt").string());
        QVERIFY(std::filesystem::exists(dumps / "a.esp.txt"));
        QVERIFY(dialog.Text()->toPlainText().contains("Record Name:GMST"));
        QVERIFY(dialog.Result()->text().startsWith("The dumped text has been saved to \n"));
        QCOMPARE(dialog.Whole()->text(), "The whole dump is " + path + ".");
        QCOMPARE(dialog.CancelButton()->text(), QString("&OK"));
        test::Shoot(dialog, "frmDump");
        QVERIFY(!a.Busy);
    }

    // A dump of a master runs to hundreds of megabytes: the window holds its start, and the
    // desktop's viewer opens the whole of it.
    void bigDumpShowsItsStartAndOpensWhole() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        std::vector<Bytes> records;
        for (int i = 0; i < 20000; ++i) records.push_back(Setting("s" + std::to_string(i), std::string(60, 'v')));
        esfile& a = plugins.Add("big.esp", records);
        const test::TempDir dumps;
        frmDump dialog(a, dumps.path());
        dialog.ByteValues()->setChecked(true);
        dialog.DumpToFile();
        const auto whole = std::filesystem::file_size(dumps / "big.esp.txt");
        QVERIFY(whole > 5u << 20);
        // The start of the file, whole lines of it, and no more than the window keeps.
        QFile written(QString::fromStdString((dumps / "big.esp.txt").string()));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray head = written.read(frmDump::kShownBytes);
        QVERIFY(head.lastIndexOf('\n') > frmDump::kShownBytes - 1000);
        const QString expected = QString::fromLatin1(head.left(head.lastIndexOf('\n') + 1)).remove('\r');
        QCOMPARE(dialog.Text()->toPlainText().remove('\r'), expected);
        const QString path = QString::fromStdString((dumps / "big.esp.txt").string());
        QCOMPARE(dialog.Whole()->text(), "Shown: the first 4.0 MB of " +
                                             QString::number(static_cast<double>(whole) / (1 << 20), 'f', 1) +
                                             " MB. The whole dump is " + path + ".");
        QString opened;
        SetDesktopOpener([&opened](const QString& p) {
            opened = p;
            return true;
        });
        QTest::mouseClick(dialog.ViewButton(), Qt::LeftButton);
        SetDesktopOpener({});
        QCOMPARE(opened, path);
        QVERIFY(prompt.calls.empty());
    }

    void statisticsShowTheFigures() {
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "x"), Setting("sTwo", "y")}, {"Morrowind.esm"});
        frmStatistics window(a);
        QCOMPARE(window.Field("Title"), QString("a.esp"));
        QCOMPARE(window.Field("Records"), QString("2")); // the figures are the core's
        QCOMPARE(window.Types()->At(1).cells, QStringList({"GMST", "2", "0", "0", "0"}));
        QCOMPARE(window.Masters()->item(0)->text(), QString("Morrowind.esm"));
        test::Shoot(window, "frmStatistics");
    }

    void supportTicksMastersLoadsAndWritesTheHeader() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        plugins.Add("m.esm", {});
        esfile& p = plugins.Add("p.esp", {Gmst("sA")}, {"M.ESM", "gone.esm", "broken.esm"});
        Touch(plugins.dir() / "Broken.esm");
        std::vector<std::string> loaded;
        std::vector<QString> progress;
        frmSupport* shown = nullptr;
        frmSupport window({&p}, DataPaths({plugins.dir()}),
                          {[&](const std::string& path) {
                               return std::find(loaded.begin(), loaded.end(), path) != loaded.end();
                           },
                           [&](const std::string& path, Progress* sink) {
                               sink->Waiting(50, "Reading Offset 218 GMST");
                               progress.push_back(shown->Status()->text() + " " + QString::number(shown->Bar()->value()));
                               if (path.ends_with("Broken.esm")) return false;
                               loaded.push_back(path);
                               return true;
                           }});
        shown = &window;
        // Listing, ticking and writing the pairs are the core's; the window shows and wires them.
        QCOMPARE(window.Caption()->text(), QString("Support Files for p.esp"));
        QCOMPARE(window.Grid()->At(0).cells[0], QString("Broken.esm"));
        QCOMPARE(window.Grid()->At(1).cells[0], QString("m.esm"));
        QVERIFY(window.Grid()->At(1).checked); // M.ESM names it
        QCOMPARE(window.Grid()->At(1).cells[frmSupport::kLoaded], QString("Click to Load"));
        window.ClickLoad(1);
        QCOMPARE(loaded.size(), std::size_t(1));
        QCOMPARE(progress, std::vector<QString>{"m.esm: Reading Offset 218 GMST 50"});
        QCOMPARE(window.Grid()->At(1).cells[frmSupport::kLoaded], QString("Loaded"));
        QCOMPARE(window.Bar()->value(), 0);
        test::Shoot(window, "frmSupport");
        window.ClickLoad(1); // open already: nothing
        QCOMPARE(loaded.size(), std::size_t(1));

        // One message names what could not be found or loaded.
        window.LoadAll();
        QCOMPARE(prompt.Texts(), std::vector<std::string>{
            "These master files were not loaded, as no data folder holds them:\ngone.esm\n\nData folders searched:\n" +
            plugins.dir().string() + "\n\nThese master files could not be loaded:\n" +
            (plugins.dir() / "Broken.esm").string()});
        QCOMPARE(window.Grid()->At(0).cells[frmSupport::kLoaded], QString("Click to Load"));

        window.Grid()->setData(window.Grid()->index(1, frmSupport::kDependency), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(!p.Changed);
        window.accept();
        QVERIFY(p.Changed);
        QCOMPARE(p.esMasterFiles().Count(), std::size_t(2));
        QCOMPARE(p.esMasterFiles().Item(1).Name, std::string("gone.esm"));
    }

    void indexManagerAsksAndIndexesWhatItSays() {
        test::PromptRecorder prompt;
        test::TempDir data, indices;
        Touch(data / "b.esp");
        Touch(data / "a.esm");
        Touch(IdxPath(indices.path(), "b.esp"));
        std::vector<std::string> indexed;
        frmIndex window(data.path(), indices.path(),
                        [&](const std::string& path, Progress* progress) {
                            progress->Waiting(50, "Indexing");
                            indexed.push_back(std::filesystem::path(path).filename().string());
                        });
        QCOMPARE(window.Files()->rowCount(), 2);
        QCOMPARE(window.Files()->At(0).cells, QStringList({"a.esm", "", "Index File"}));
        QCOMPARE(window.Files()->At(1).cells, QStringList({"b.esp", "Indexed", "Re-index File"}));
        QCOMPARE(window.Files()->data(window.Files()->index(1, 0), Qt::ForegroundRole).value<QColor>(),
                 QColor(0, 112, 185));
        QCOMPARE(window.Files()->data(window.Files()->index(0, 0), Qt::ForegroundRole).value<QColor>(),
                 QColor(0, 0, 255));
        test::Shoot(window, "frmIndex");
        prompt.answers = {Answer::No};
        window.IndexAll();
        QVERIFY(indexed.empty());
        QVERIFY(prompt.Texts().back().starts_with("Re-index all Files: This may take a long time"));
        window.IndexNotIndexed();
        QCOMPARE(indexed, std::vector<std::string>({"a.esm"}));
        QCOMPARE(prompt.Texts().back(), std::string("Index all Files without Indices: This may take a long time. Continue?"));
        window.ReIndexAll();
        QCOMPARE(indexed.back(), std::string("b.esp"));
        window.IndexRow(0);
        QCOMPARE(indexed.back(), std::string("a.esm"));
        QCOMPARE(window.Bar()->value(), 0); // reset after each file
    }

    // Locate, remove and scan are the core tool list's; the window asks for the file, the row and the roots.
    void toolsGridLocatesRemovesAndScans() {
        test::PromptRecorder prompt;
        test::TempDir program, disk;
        std::ofstream(program / "Signatures.ini") << "[Mod Helper]\nFilename = helper.exe\nCategory = Utilities\n";
        std::filesystem::create_directories(disk / "games" / "helper");
        Touch(disk / "games" / "helper" / "helper.exe");
        Config settings;
        settings.OpenText("[Tools]\nNotes = Root,/docs/notes.txt,True\n");
        frmTools window(settings, program / "Signatures.ini");
        QCOMPARE(window.Grid()->rowCount(), 1);
        window.chooseFile = [&](const QString& title, const QString&) {
            return title.startsWith("Locate executable/document file for tool: ") ? QString("/opt/tes/mwedit.exe")
                                                                                    : QString();
        };
        window.Grid()->setCurrentCell(-1, -1);
        window.Locate();
        QCOMPARE(window.Grid()->item(1, frmTools::kName)->text(), QString("mwedit"));
        window.Grid()->setCurrentCell(0, 0);
        prompt.answers = {Answer::No};
        window.Remove(); // asks about the selected row
        QCOMPARE(prompt.Texts().back(), std::string("Are you sure you want to remove Notes?"));
        window.scanRoots = [&] { return std::vector<std::filesystem::path>{disk.path()}; };
        window.Scan(); // Yes by default
        QCOMPARE(window.Grid()->rowCount(), 3);
        QCOMPARE(window.Grid()->item(2, frmTools::kName)->text(), QString("Mod Helper"));
        test::Shoot(window, "frmTools");
        window.accept();
        QVERIFY(settings.VarExists("Tools", "Mod Helper"));
        QVERIFY(settings.VarExists("Tools", "mwedit"));
    }

    void categoriesMoveAndToolsMenuFollows() {
        Config settings;
        settings.OpenText("[Tools]\nA = Root,/a,False\nB = Docs,/b.txt,True\nC = Progs,/c,False\n"
                          "[ToolFolders]\nDocs = 1\nProgs = 2\n");
        frmToolCategories categories(settings);
        QCOMPARE(categories.Grid()->rowCount(), 2);
        categories.Grid()->setCurrentCell(1, 0);
        categories.MoveUp();
        QCOMPARE(categories.Grid()->item(0, 0)->text(), QString("Progs"));
        test::Shoot(categories, "frmToolCategories");
        categories.accept();
        QCOMPARE(settings.GetVar("ToolFolders", "Progs"), std::string("1"));

        QMenu tools;
        tools.addAction("Options");
        std::vector<std::string> ran;
        RebuildToolsMenu(&tools, settings, [&](const std::string& v) { ran.push_back(v); });
        QStringList captions;
        for (QAction* a : tools.actions()) captions << (a->menu() ? "[" + a->text() + "]" : a->text());
        QCOMPARE(captions, QStringList({"Options", "", "A", "[Progs]", "[Docs]"}));
        tools.actions()[2]->trigger();
        QCOMPARE(ran, std::vector<std::string>({"Root,/a,False"}));
        RebuildToolsMenu(&tools, settings, [](const std::string&) {});
        QCOMPARE(tools.actions().size(), 5); // the earlier entries went
    }
};

QTEST_MAIN(FileToolWindowsTest)
#include "FileToolWindowsTest.moc"
