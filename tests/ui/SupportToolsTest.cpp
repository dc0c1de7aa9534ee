// The support-files window, the index manager, the tools management and categories windows and
// the tool entries of the Tools menu.
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "index/IdxFile.h"
#include "template/Config.h"
#include "ui/TextTableModel.h"
#include "ui/ToolsMenuActions.h"
#include "ui/frmIndex.h"
#include "ui/frmSupport.h"
#include "ui/frmToolCategories.h"
#include "ui/frmTools.h"

#include <QLabel>
#include <QProgressBar>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::Gmst;
using test::RecordBytes;
using test::Text;

namespace {

void Touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }

} // namespace

class SupportToolsTest : public QObject {
    Q_OBJECT
private slots:
    void supportTicksMastersLoadsAndWritesTheHeader() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        plugins.Add("m.esm", {});
        esfile& p = plugins.Add("p.esp", {Gmst("sA")});
        std::vector<std::string> loaded;
        frmSupport window({&p}, plugins.dir(),
                          {[&](const std::string& path) {
                               return std::find(loaded.begin(), loaded.end(), path) != loaded.end();
                           },
                           [&](const std::string& path) { loaded.push_back(path); }});
        QCOMPARE(window.windowTitle(), QString("Master/Plugin Support Files"));
        QCOMPARE(window.Caption()->text(), QString("Support Files for p.esp"));
        QCOMPARE(window.Grid()->At(0).cells[0], QString("m.esm")); // masters first
        QCOMPARE(window.Grid()->At(0).cells[frmSupport::kLoaded], QString("Click to Load"));
        window.Grid()->setData(window.Grid()->index(0, frmSupport::kDependency), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(window.Grid()->At(0).checked);
        window.ClickLoad(0);
        QCOMPARE(loaded.size(), std::size_t(1));
        QCOMPARE(window.Grid()->At(0).cells[frmSupport::kLoaded], QString("Loaded"));
        window.ClickLoad(0); // open already: nothing
        QCOMPARE(loaded.size(), std::size_t(1));
        window.accept();
        QCOMPARE(p.esMasterFiles().Count(), std::size_t(1));
        QCOMPARE(p.esMasterFiles().Item(1).Name, std::string("m.esm"));
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

    void toolsGridLocatesRemovesAndScans() {
        test::PromptRecorder prompt;
        test::TempDir program, disk;
        std::ofstream(program / "Signatures.ini") << "[Mod Helper]\nFilename = helper.exe\nCategory = Utilities\n";
        std::filesystem::create_directories(disk / "games" / "helper");
        Touch(disk / "games" / "helper" / "helper.exe");
        Config settings;
        settings.OpenText("[Tools]\nNotes = Root,/docs/notes.txt,True\n");
        frmTools window(settings, program.path());
        QCOMPARE(window.Grid()->rowCount(), 1);
        window.chooseFile = [&](const QString& title, const QString&) {
            return title.startsWith("Locate executable/document file for tool: ") ? QString("/opt/tes/mwedit.exe")
                                                                                    : QString();
        };
        window.Grid()->setCurrentCell(-1, -1);
        window.Locate();
        QCOMPARE(window.Grid()->rowCount(), 2);
        QCOMPARE(window.Grid()->item(1, frmTools::kName)->text(), QString("mwedit"));
        QCOMPARE(window.Grid()->item(1, frmTools::kDocument)->checkState(), Qt::Unchecked);
        window.Grid()->setCurrentCell(0, 0);
        prompt.answers = {Answer::No};
        window.Remove();
        QCOMPARE(prompt.Texts().back(), std::string("Are you sure you want to remove Notes?"));
        QCOMPARE(window.Grid()->rowCount(), 2);

        window.scanRoots = [&] { return std::vector<std::filesystem::path>{disk.path()}; };
        window.Scan(); // Yes by default
        QCOMPARE(window.Grid()->rowCount(), 3);
        QCOMPARE(window.Grid()->item(2, frmTools::kName)->text(), QString("Mod Helper"));
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
        categories.MoveUp(); // at the top already
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

QTEST_MAIN(SupportToolsTest)
#include "SupportToolsTest.moc"
