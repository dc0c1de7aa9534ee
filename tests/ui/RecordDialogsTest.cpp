// The insert-record, insert-subrecord, parent-lookup, sort-subrecords and lookup windows.
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "template/Config.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmInsertSubrecord.h"
#include "ui/frmLookup.h"
#include "ui/frmParentLookup.h"
#include "ui/frmSortSubrecords.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;
using test::RecordBytes;
using test::Text;

namespace {

QStringList Keys(const TextTableModel* m) {
    QStringList keys;
    for (const auto& r : m->Rows()) keys << r.key;
    return keys;
}

Bytes Race(const std::string& id) { return RecordBytes("RACE", {{"NAME", Text(id)}, {"FNAM", Text(id + " folk")}}); }

} // namespace

class RecordDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void insertRecordOffersFourCharacterGroupsOnly() {
        Config templ;
        templ.OpenText("[GMST]\n[ABC]\n[ABCDE]\n[NPC_]\n[NPC_.NAME]\n[@TEXTLOOKUP]\n");
        frmInsertRecord dialog(templ);
        QCOMPARE(Keys(dialog.Model()), QStringList({"GMST", "NPC_"}));
        dialog.List()->setCurrentIndex(dialog.Model()->index(1, 0));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.Result(), QString());
        emit dialog.List()->doubleClicked(dialog.Model()->index(1, 0));
        QCOMPARE(dialog.Result(), QString("NPC_"));
    }

    void insertSubrecordMatchesTheRecordTypeInAnyCase() {
        test::TestPlugins plugins("[NPC_]\nPropID = NAME:ID\n[NPC_.NAME]\nID = STRING\n[npc_.FNAM]\nName = STRING\n"
                                  "[NPC_.NPDT.X]\n[CREA.NAME]\n[@FILESEQUENCE]\nTES3\nNPC_\n");
        esfile& file = plugins.Add("a.esp", {RecordBytes("NPC_", {{"NAME", Text("guard")}})});
        frmInsertSubrecord dialog(file, "NPC_1");
        QCOMPARE(Keys(dialog.Model()), QStringList({"NAME", "FNAM"}));
        QVERIFY(dialog.findChildren<QLabel*>().size() >= 2);
        dialog.Select("FNAM");
        dialog.accept();
        QCOMPARE(dialog.Result(), QString("FNAM"));
    }

    void parentLookupListsTheCategory() {
        test::TestPlugins plugins;
        esfile& file = plugins.Add("a.esp", {Race("Dark Elf"), Race("Nord")});
        frmParentLookup dialog(file, "RACE", "Race");
        QCOMPARE(dialog.windowTitle(), QString("Select Parent Race"));
        QCOMPARE(Keys(dialog.Model()), QStringList({"RACE1", "RACE2"}));
        QCOMPARE(dialog.Model()->At(1).cells.value(0), QString("Nord"));
        dialog.Select("RACE2");
        dialog.accept();
        QCOMPARE(dialog.Result(), QString("RACE2"));
        frmParentLookup none(file, "DIAL", "Dialogue");
        QCOMPARE(none.Model()->rowCount(), 0);
        none.reject();
        QCOMPARE(none.Result(), QString());
    }

    void sortingAPackedRecordLeavesItPackedInTheNewOrder() {
        test::TestPlugins plugins;
        esfile& file = plugins.Add("a.esp", {RecordBytes("GMST", {{"NAME", Text("sKey")}, {"STRV", Text("v")}})});
        const Bytes before = file.Rec("GMST1").Data.ToBytes();
        {
            frmSortSubrecords cancelled(file, "GMST1");
            cancelled.MoveDown();
            cancelled.reject();
        }
        QVERIFY(file.Rec("GMST1").Packed);
        QCOMPARE(file.Rec("GMST1").Data.ToBytes(), before);
        QVERIFY(!file.Changed);

        frmSortSubrecords dialog(file, "GMST1");
        QCOMPARE(dialog.Model()->At(0).cells[0], QString("000"));
        QVERIFY(dialog.Model()->At(0).cells[1].startsWith("NAME (sKey"));
        dialog.MoveUp(); // first row: nothing moves
        QCOMPARE(Keys(dialog.Model()), QStringList({"NAME", "STRV"}));
        dialog.MoveDown();
        dialog.MoveDown(); // last row: nothing more
        QCOMPARE(Keys(dialog.Model()), QStringList({"STRV", "NAME"}));
        dialog.accept();
        const RecordEntry& r = file.Rec("GMST1");
        QVERIFY(r.Packed);
        const Bytes after = r.Data.ToBytes();
        QCOMPARE(std::string(after.begin(), after.begin() + 4), std::string("STRV"));
        QCOMPARE(after.size(), before.size());
        QVERIFY(file.Changed);
    }

    void sortSummaryIsCut() {
        QCOMPARE(frmSortSubrecords::Summary({"a", "b"}), std::string("(a, b)"));
        const std::string s = frmSortSubrecords::Summary(std::vector<std::string>(12, "x"));
        QVERIFY(s.ends_with("...)"));
        QVERIFY(s.size() <= 47);
        QCOMPARE(frmSortSubrecords::Summary({std::string(60, 'y')}).size(), std::size_t(47));
    }

    void lookupListsTheFileThenItsOpenMasters() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& master = plugins.Add("m.esm", {Race("Breton")});
        esfile& file = plugins.Add("a.esp", {Race("Khajiit")}, {"m.esm"});
        const auto types = frmLookup::LookupTypes(file, "NPC_.RNAM.Race");
        QCOMPARE(types, std::vector<std::string>({"RACE"}));
        test::RecordingProgress progress;
        frmLookup dialog(file, plugins.Open(), types, &progress);
        QCOMPARE(dialog.Model()->rowCount(), 2);
        QCOMPARE(dialog.Model()->At(0).cells, QStringList({"Khajiit", "a.esp"}));
        QCOMPARE(dialog.Model()->At(1).cells, QStringList({"Breton", "m.esm"}));
        QVERIFY(!progress.reports.empty());
        QCOMPARE(progress.reports.back().second, std::string("Populating Grid "));
        dialog.Grid()->setCurrentIndex(dialog.Model()->index(1, 0));
        dialog.accept();
        QCOMPARE(dialog.Result(), QString("Breton"));

        frmLookup alone(file, {&file}, types); // the master is not open
        QCOMPARE(alone.Model()->rowCount(), 1);
        QVERIFY(&master != &file);
    }
};

QTEST_MAIN(RecordDialogsTest)
#include "RecordDialogsTest.moc"
