// Renders each window of the tool set once to a PNG in <build>/screenshots, for a person to look
// at. Each window is shown with some content so the picture says something.
#include "../index/IntegrityFixture.h"
#include "TestPlugin.h"

#include "template/Config.h"
#include "ui/fhByteControl.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmDump.h"
#include "ui/frmIndex.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmInsertSubrecord.h"
#include "ui/frmLookup.h"
#include "ui/frmMergeOptions.h"
#include "ui/frmParentLookup.h"
#include "ui/frmRawData.h"
#include "ui/frmReferences.h"
#include "ui/frmScanReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmSortSubrecords.h"
#include "ui/frmStatistics.h"
#include "ui/frmSupport.h"
#include "ui/frmToolCategories.h"
#include "ui/frmTools.h"

#include "ui/SearchPanel.h"

#include <QLineEdit>
#include <QPixmap>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::RecordBytes;
using test::Text;

class ScreenshotTest : public QObject {
    Q_OBJECT

    std::filesystem::path folder_ = test::BinDir().parent_path() / "screenshots";
    QStringList written_;

    void Shoot(QWidget& w, const QString& name) {
        w.show();
        QCoreApplication::processEvents();
        const QString file = QString::fromStdString((folder_ / (name.toStdString() + ".png")).string());
        QVERIFY2(w.grab().save(file), qPrintable(file));
        written_ << name;
        w.hide();
    }

private slots:
    void initTestCase() { std::filesystem::create_directories(folder_); }

    void fileWindows() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& m = plugins.Add("Master.esm", {RecordBytes("RACE", {{"NAME", Text("Nord")}})});
        esfile& a = plugins.Add(
            "Plugin.esp",
            {RecordBytes("GMST", {{"NAME", Text("sWelcome")}, {"STRV", Text("Welcome to Vvardenfell")}}),
             RecordBytes("RACE", {{"NAME", Text("Dark Elf")}, {"FNAM", Text("Dark Elf")}})},
            {"Master.esm"});
        a.CurrentRecordKey = "GMST1";

        fhByteControl grid;
        grid.SetByteArray(a.Rec("GMST1").Data.span());
        grid.ToggleExpand();
        Shoot(grid, "fhByteControl");
        frmRawData raw(a, plugins.dir());
        Shoot(raw, "frmRawData");
        frmInsertRecord insertRecord(plugins.templ);
        Shoot(insertRecord, "frmInsertRecord");
        frmInsertSubrecord insertSub(a, "GMST1");
        Shoot(insertSub, "frmInsertSubrecord");
        frmParentLookup parent(a, "RACE", "Race");
        Shoot(parent, "frmParentLookup");
        frmSortSubrecords sort(a, "GMST1");
        Shoot(sort, "frmSortSubrecords");
        frmLookup lookup(a, plugins.Open(), {"RACE"});
        Shoot(lookup, "frmLookup");
        frmSearch find(plugins.templ);
        Shoot(find, "frmSearch");
        std::vector<esfile*> open{&a, &m};
        frmSearchAll findAll(plugins.templ, [&] { return open; }, &a);
        findAll.Panel()->Text()->setText("elf");
        findAll.Find();
        Shoot(findAll, "frmSearchAll");
        frmDump dump(a, plugins.dir() / "Dumps");
        dump.DumpToFile();
        Shoot(dump, "frmDump");
        frmStatistics statistics(a);
        Shoot(statistics, "frmStatistics");
        frmSupport support({&a}, plugins.dir(), {[](const std::string&) { return false; }, {}});
        Shoot(support, "frmSupport");
        frmIndex index(plugins.dir(), plugins.dir() / "Indices", {});
        Shoot(index, "frmIndex");
        frmConfigEditor config((test::BinDir() / "ESTemplate.ini").string(), test::BinDir());
        Shoot(config, "frmConfigEditor");
        frmMergeOptions merge;
        Shoot(merge, "frmMergeOptions");
    }

    void toolWindows() {
        Config settings;
        settings.OpenText("[Tools]\nMWEdit = Editors,/opt/mwedit/mwedit.exe,False\n"
                          "Readme = Root,/opt/docs/readme.txt,True\n[ToolFolders]\nEditors = 1\nUtilities = 2\n");
        frmTools tools(settings, test::BinDir());
        Shoot(tools, "frmTools");
        frmToolCategories categories(settings);
        Shoot(categories, "frmToolCategories");
    }

    void integrityWindows() {
        test::IntegrityTest t;
        const std::string key = t.Open(test::SampleFile());
        frmScanRelatives wizard(*t.files, {key, "SCPT1", "", "", false}, frmScanRelatives::kDelete);
        wizard.Start();
        wizard.GoToStep(frmScanRelatives::kDescendants);
        Shoot(wizard, "frmScanRelatives");
        frmReferences references(*t.files, key);
        references.Browse("NPC_5");
        Shoot(references, "frmReferences");
        esCheckedEntries changes;
        changes.Add("FACT2", key, "FACT2").NewID = "fac_a";
        frmScanReferences scan(*t.files, key, changes);
        Shoot(scan, "frmScanReferences");
    }

    void cleanupTestCase() { QCOMPARE(written_.size(), 20); }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
