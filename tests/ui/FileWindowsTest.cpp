// The windows that work on a whole file or the program: Find and Find All, the dump dialog, the
// support-files window, the index manager, the tools management and categories windows and the
// tool entries of the Tools menu; the configuration editor (the grid's rows, saving with the
// template's identity rule, the file commands and their questions).
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "index/IdxFile.h"
#include "model/TextDump.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "ui/ConfigGridModel.h"
#include "ui/DesktopOpen.h"
#include "ui/SearchPanel.h"
#include "ui/TextTableModel.h"
#include "ui/ToolsMenuActions.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmDump.h"
#include "ui/frmIndex.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmSupport.h"
#include "ui/frmToolCategories.h"
#include "ui/frmTools.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
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

namespace {

Bytes Setting(const std::string& id, const std::string& text) {
    return test::RecordBytes("GMST", {{"NAME", test::Text(id)}, {"STRV", test::Text(text)}});
}

const char* const kTemplate = "[NPC_]\nPropID = NAME:ID\n[NPC_.NAME]\n@REQUIREMENT = 1\nID = STRING\n"
                              "[CREA]\nPropID = XNAM\n[BOOK]\nPropID = NAME:ID,INDX:Index\n"
                              "[@FILESEQUENCE]\nTES3\n[GMST.NAME]\nPropID = STRV:x\n";

void Write(const std::filesystem::path& path, const std::string& text = "x") {
    std::ofstream(path, std::ios::binary) << text;
}

Config Read(const std::filesystem::path& path) {
    Config c;
    c.OpenFile(path.string());
    return c;
}

const char* const kSaveQuestion = "Do you wish to save the current configuration before continuing?";

} // namespace

class FileWindowsTest : public QObject {
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

    void supportTicksMastersLoadsAndWritesTheHeader() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        plugins.Add("m.esm", {});
        esfile& p = plugins.Add("p.esp", {test::Gmst("sA")}, {"M.ESM", "gone.esm", "broken.esm"});
        Write(plugins.dir() / "Broken.esm");
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
        Write(data / "b.esp");
        Write(data / "a.esm");
        Write(IdxPath(indices.path(), "b.esp"));
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
        Write(disk / "games" / "helper" / "helper.exe");
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
    void gridShowsHeadingsInstructionsAndVariablesInOrder() {
        Config c;
        c.OpenText("[A]\nx = 1\n@Unique\n[B]\ny = 2\n");
        ConfigGridModel m;
        m.Load(c);
        QCOMPARE(m.rowCount(), 5);
        QCOMPARE(m.data(m.index(0, 0)).toString(), QString("Group Name"));
        QCOMPARE(m.data(m.index(0, 1)).toString(), QString("A"));
        QCOMPARE(m.data(m.index(1, 0)).toString(), QString("@Unique"));
        QCOMPARE(m.data(m.index(2, 1)).toString(), QString("1"));
        QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Property"));
        QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(m.GroupOf(4), std::string("B"));
    }

    void movesInsertsAndDeletesKeepGroupsWhole() {
        Config c;
        c.OpenText("[A]\nx = 1\ny = 2\n[B]\nz = 3\n");
        ConfigGridModel m;
        m.Load(c);
        QCOMPARE(m.MoveUp(1), -1);   // never above the first heading
        QCOMPARE(m.MoveDown(2), 3);  // y crosses into B
        QCOMPARE(m.GroupOf(3), std::string("B"));
        QCOMPARE(m.MoveUp(2), 0);    // heading B moves with its rows above A
        Config out;
        m.Build(out);
        QCOMPARE(out.Groups().Item(1).Name, std::string("B"));
        QCOMPARE(out.GetVar("B", "y"), std::string("2"));
        QCOMPARE(out.FindGroup("A")->Variables.Count(), std::size_t(1));
        QCOMPARE(m.Rows()[static_cast<std::size_t>(m.InsertGroup())].name, std::string("@NewGroup1"));
        QCOMPARE(m.Rows()[static_cast<std::size_t>(m.InsertGroup())].name, std::string("@NewGroup2"));
        const int v = m.InsertVariable(0);
        QCOMPARE(v, 3);
        QCOMPARE(m.Rows()[3].name, std::string("NewVariable1"));
        m.Delete(0); // B with y, z and the new variable
        QCOMPARE(m.Rows()[0].name, std::string("A"));
        QCOMPARE(m.rowCount(), 4);
    }

    void savingTheTemplateRequiresEachIdentitySubrecordOthersAsTheyAre() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, kTemplate);
        frmConfigEditor editor(path.string(), dir.path());
        QVERIFY(editor.IsTemplate());
        QSignalSpy saved(&editor, &frmConfigEditor::TemplateSaved);
        QVERIFY(editor.Save());
        QCOMPARE(saved.count(), 1);
        const Config c = Read(path);
        QCOMPARE(c.FindInstr("NPC_.NAME", "Requirement")->Value, std::string("2")); // 1 became 2
        QCOMPARE(c.FindGroup("NPC_.NAME")->Instructions.Count(), std::size_t(1));
        QCOMPARE(c.FindInstr("CREA.XNAM", "Requirement")->Value, std::string("2")); // no ":" at all
        QCOMPARE(c.FindGroup("CREA.XNAM")->Variables.Count(), std::size_t(0));
        QVERIFY(c.FindInstr("BOOK.NAME", "Requirement"));
        QVERIFY(!c.GroupExists("GMST.NAME.STRV")); // a subrecord group is no record type
        QVERIFY(!editor.Changed());
        QCOMPARE(editor.Model()->rowCount(), 17); // reloaded from the file written
        test::Shoot(editor, "frmConfigEditor");

        // Other files are saved as they are.
        Write(dir / "Other.ini", kTemplate);
        frmConfigEditor other((dir / "Other.ini").string(), dir.path());
        QVERIFY(!other.IsTemplate());
        QVERIFY(other.Save());
        QVERIFY(!Read(dir / "Other.ini").GroupExists("CREA.XNAM"));
    }

    // Every command, on the toolbar or in a menu only, shows an icon of its own.
    void everyCommandHasItsOwnIcon() {
        test::TempDir dir;
        frmConfigEditor editor("", dir.path());
        QMap<QString, QImage> seen;
        const QList<QAction*> actions = editor.findChildren<QAction*>();
        for (QAction* a : actions) {
            if (a->objectName().isEmpty() || a->isSeparator())
                continue;
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            const QImage image = a->icon().pixmap(24, 24).toImage();
            for (auto it = seen.cbegin(); it != seen.cend(); ++it)
                QVERIFY2(it.value() != image, qPrintable(a->objectName() + " looks like " + it.key()));
            seen.insert(a->objectName(), image);
        }
        QCOMPARE(seen.size(), 15);
        test::Shoot(editor, "frmConfigEditor");
    }

    void revertAsksAndReloadsOrSaysThereIsNothing() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        frmConfigEditor fresh("", dir.path());
        QCOMPARE(fresh.Path(), (dir / "New.ini").string());
        QCOMPARE(fresh.Model()->Rows()[0].name, std::string("NewGroup1"));
        fresh.InsertVariable();
        fresh.Revert();
        QCOMPARE(prompt.Texts(), std::vector<std::string>({"No saved version to revert to."}));
        QCOMPARE(fresh.Model()->rowCount(), 2);

        const auto path = dir / "a.ini";
        Write(path, "[G]\nv = 1\n");
        frmConfigEditor editor(path.string(), dir.path());
        editor.Model()->setData(editor.Model()->index(1, 1), "9");
        QVERIFY(editor.Changed());
        prompt.answers = {Answer::No};
        editor.Revert();
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("9"));
        editor.Revert(); // Yes by default
        QCOMPARE(prompt.Texts().back(),
                 std::string("Are you sure you wish to revert to the last saved version of this configuration?"));
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("1"));
        QVERIFY(!editor.Changed());
        fresh.Model()->setData(fresh.Model()->index(1, 0), "x"); // leave the fresh one unchanged on close
        prompt.answers = {Answer::No};
        fresh.close();
        QCOMPARE(prompt.Texts().back(), std::string(kSaveQuestion));
    }

    void openAsksToSaveFirstAndDeleteAsksForGroups() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        Write(dir / "a.ini", "[G]\nv = 1\n[H]\nw = 2\n");
        Write(dir / "b.ini", "[Other]\n");
        frmConfigEditor editor((dir / "a.ini").string(), dir.path());
        editor.Grid()->setCurrentIndex(editor.Model()->index(2, 0));
        prompt.answers = {Answer::No};
        editor.Delete();
        QCOMPARE(prompt.Texts().back(),
                 std::string("Are you sure you want to delete this group (all variables in the group will be deleted)?"));
        QCOMPARE(editor.Model()->rowCount(), 4);
        editor.Delete(); // Yes
        QCOMPARE(editor.Model()->rowCount(), 2);
        editor.Grid()->setCurrentIndex(editor.Model()->index(1, 0));
        const std::size_t asked = prompt.calls.size();
        editor.Delete(); // a variable goes without a question
        QCOMPARE(prompt.calls.size(), asked);
        QCOMPARE(editor.Model()->rowCount(), 1);

        editor.chooseFile = [&](bool save, const QString&) {
            return save ? QString() : QString::fromStdString((dir / "b.ini").string());
        };
        editor.Open(); // Yes: saves a.ini first
        QCOMPARE(prompt.Texts().back(), std::string(kSaveQuestion));
        QCOMPARE(Read(dir / "a.ini").Groups().Count(), std::size_t(1));
        QCOMPARE(editor.Path(), (dir / "b.ini").string());
        QCOMPARE(editor.Model()->Rows()[0].name, std::string("Other"));
    }

    void defaultCopyIsMadeAndRestored() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, "[G]\nv = 1\n");
        frmConfigEditor editor(path.string(), dir.path());
        QCOMPARE(frmConfigEditor::DefaultCopyOf(path.string()), (dir / "ESTemplate.def").string());
        editor.MakeDefault();
        QVERIFY(prompt.Texts().back().starts_with("Are you SERIOUS? This will make the current configuration"));
        QCOMPARE(Read(dir / "ESTemplate.def").GetVar("G", "v"), std::string("1"));
        Write(path, "[G]\nv = 5\n");
        editor.Load(path.string());
        editor.RevertToDefault();
        QCOMPARE(prompt.calls.back().title, std::string("Confirm File Revert"));
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("1"));
        QCOMPARE(Read(path).GetVar("G", "v"), std::string("1"));
    }

    // A property line's value cell offers the lists of names that suit its type; a list made in
    // the grid and chosen there names the values once the template is read again.
    void valueCellsOfferTheListsOfNames() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, "[WEAP]\nPropID = NAME:ID\n[WEAP.NAME]\n@REQUIREMENT = 2\nID = STRING\n"
                    "[WEAP.WPDT]\nType = SHORT\nFlags = BITFIELD,4\nWeight = SINGLE\n"
                    "[@VALUES.WeaponType]\n0 = Short Blade\n[@FLAGS.Weapon]\n0x2 = Silver\n"
                    "[@VALUES.GlobalType]\ns = Short\n");
        frmConfigEditor ed(path.string(), dir.path());
        ConfigGridModel& m = *ed.Model();
        auto rowOf = [&m](const std::string& name) {
            for (int r = 0; r < m.rowCount(); ++r)
                if (!m.IsHeading(r) && m.Rows()[static_cast<std::size_t>(r)].name == name)
                    return r;
            return -1;
        };
        using Choices = std::vector<std::string>;
        QCOMPARE(m.ValueChoices(rowOf("Type")), (Choices{"SHORT", "SHORT,2,WeaponType"}));
        QCOMPARE(m.ValueChoices(rowOf("Flags")), (Choices{"BITFIELD,4", "BITFIELD,4,Weapon"}));
        QCOMPARE(m.ValueChoices(rowOf("ID")), (Choices{"STRING", "STRING,0,WeaponType", "STRING,0,GlobalType"}));
        QVERIFY(m.ValueChoices(rowOf("Weight")).empty()); // a float has no names
        QVERIFY(m.ValueChoices(rowOf("PropID")).empty()); // nor a record group's entry
        QVERIFY(m.ValueChoices(rowOf("0")).empty());

        // A new list, typed into the grid.
        const int heading = m.InsertGroup();
        QVERIFY(m.setData(m.index(heading, 1), "@VALUES.Grip"));
        const int entry = m.InsertVariable(heading);
        QVERIFY(m.setData(m.index(entry, 0), "1") && m.setData(m.index(entry, 1), "Two-Handed"));
        QVERIFY(m.ValueChoices(rowOf("Type")).back() == "SHORT,2,Grip");

        // F2 on the Type value opens the drop-down; Down and Enter take the first list.
        ed.show();
        QVERIFY(QTest::qWaitForWindowActive(&ed));
        ed.Grid()->setCurrentIndex(m.index(rowOf("Type"), 1));
        ed.Grid()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        auto* box = ed.Grid()->findChild<QComboBox*>("ValueChoices");
        QVERIFY(box);
        QCOMPARE(box->currentText(), QString("SHORT"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(m.Rows()[static_cast<std::size_t>(rowOf("Type"))].value, std::string("SHORT,2,WeaponType"));
        // Any text can still be typed.
        ed.Grid()->setCurrentIndex(m.index(rowOf("Flags"), 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), "BITFIELD,2,Weapon");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(m.Rows()[static_cast<std::size_t>(rowOf("Flags"))].value, std::string("BITFIELD,2,Weapon"));
        QVERIFY(ed.Save());

        Config saved = Read(path);
        PropertyCodec codec(saved);
        codec.ParseTemplate();
        QVERIFY2(prompt.calls.empty(), prompt.calls.empty() ? "" : prompt.calls[0].text.c_str());
        QCOMPARE(*codec.NamesOf("WEAP", "WPDT", "Type")->NameOf(0), std::string("Short Blade"));
        QCOMPARE(*codec.NamesOf("WEAP", "WPDT", "Flags")->BitName(1), std::string("Silver"));
        QCOMPARE(codec.Layout("WEAP", "WPDT")->Lines[1].Size, 2);
        QVERIFY(saved.FindGroup("@VALUES.Grip")->Variables.Exists("1"));
    }
};

QTEST_MAIN(FileWindowsTest)
#include "FileWindowsTest.moc"
