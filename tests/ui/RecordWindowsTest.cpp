// The windows that work on one record: the byte grid control, the inspector's readings, the raw
// data window, and the insert-record, insert-subrecord, parent-lookup, sort-subrecords and lookup
// windows.
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "template/Config.h"
#include "ui/ByteGridModel.h"
#include "ui/ByteInspection.h"
#include "ui/fhByteControl.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmInsertSubrecord.h"
#include "ui/frmLookup.h"
#include "ui/frmParentLookup.h"
#include "ui/frmRawData.h"
#include "ui/frmSortSubrecords.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;
using test::Gmst;
using test::Int32;
using test::RecordBytes;
using test::Text;

namespace {

Bytes Sequence(int n) {
    Bytes b(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return b;
}

QStringList Keys(const TextTableModel* m) {
    QStringList keys;
    for (const auto& r : m->Rows()) keys << r.key;
    return keys;
}

Bytes Race(const std::string& id) { return RecordBytes("RACE", {{"NAME", Text(id)}, {"FNAM", Text(id + " folk")}}); }

} // namespace

class RecordWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void undoRestoresTheArrayAndRaisesRevertedOnce() {
        fhByteControl grid;
        const Bytes original = Sequence(12);
        grid.SetByteArray(original);
        QSignalSpy changed(&grid, &fhByteControl::ByteChanged);
        QSignalSpy reverted(&grid, &fhByteControl::Reverted);
        grid.SetCursorOffset(0);
        QTest::keyClicks(grid.HexView(), "4f");      // one byte from two digits, then on
        QCOMPARE(grid.CursorOffset(), 1);
        QTest::keyClicks(grid.CharView(), "Az");     // one byte a character
        QCOMPARE(grid.CursorOffset(), 3);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);
        QCOMPARE(changed.at(0).at(1).value<quint8>(), quint8(0x4F));
        QCOMPARE(grid.ByteArray()[1], std::uint8_t('A'));
        QCOMPARE(grid.ByteArray()[2], std::uint8_t('z'));
        grid.UndoButton()->click();
        QCOMPARE(grid.ByteArray(), original);
        QCOMPARE(reverted.count(), 1);
    }

    void tenBytesAreOneRowElevenAreTwoWithExpand() {
        fhByteControl grid;
        grid.SetByteArray(Sequence(10));
        QCOMPARE(grid.RowCount(), 1);
        QVERIFY(grid.ExpandButton()->isHidden());
        grid.SetByteArray(Sequence(11));
        QCOMPARE(grid.RowCount(), 2);
        QVERIFY(!grid.ExpandButton()->isHidden());
        QCOMPARE(grid.ExpandButton()->text(), QString("Expand"));

        QSignalSpy layout(&grid, &fhByteControl::LayoutChanged);
        const int contracted = grid.HexView()->height();
        grid.ExpandButton()->click();
        QCOMPARE(grid.ExpandButton()->text(), QString("Contract"));
        QVERIFY(grid.HexView()->height() > contracted);
        QCOMPARE(layout.count(), 1);
        grid.HeadingsButton()->click();
        QCOMPARE(grid.HeadingsButton()->text(), QString("Show Headings"));
        QVERIFY(grid.HexView()->horizontalHeader()->isHidden());
        grid.ToggleHeadings();
        QCOMPARE(grid.HeadingsButton()->text(), QString("Hide Headings"));
        QCOMPARE(layout.count(), 3);
        test::Shoot(grid, "fhByteControl");
    }

    void cursorsFollowEachOtherAndReportInOrder() {
        fhByteControl grid;
        grid.SetByteArray(Sequence(25));
        auto* model = static_cast<ByteGridModel*>(grid.HexView()->model());
        QStringList order;
        connect(&grid, &fhByteControl::CursorMoved, [&](int o) { order << QString("cursor %1").arg(o); });
        connect(&grid, &fhByteControl::SelectionMoved, [&](int o) { order << QString("selection %1").arg(o); });
        grid.CharView()->setCurrentIndex(model->CharIndex(13));
        QCOMPARE(grid.HexView()->currentIndex(), model->HexIndex(13));
        QCOMPARE(order, QStringList({"cursor 13", "selection 13"}));
        grid.SuppressNextRowColChange();
        grid.SetCursorOffset(20);
        QCOMPARE(grid.CharView()->currentIndex(), model->CharIndex(20));
        QCOMPARE(order.size(), 2);
        QTest::keyClick(grid.CharView(), Qt::Key_Backspace);
        QCOMPARE(grid.CursorOffset(), 19);
        QTest::keyClick(grid.HexView(), Qt::Key_Delete);
        QTest::keyClick(grid.HexView(), Qt::Key_Delete);
        QCOMPARE(grid.CursorOffset(), 21);
        QCOMPARE(model->OffsetOf(model->index(2, 5)), -1); // past the end of the last row
    }

    void readOnlyGridIgnoresTypingAndLongArraysAreCut() {
        fhByteControl grid;
        grid.SetByteArray(Sequence(4));
        grid.SetAllowEdit(false);
        QSignalSpy changed(&grid, &fhByteControl::ByteChanged);
        grid.SetCursorOffset(0);
        QTest::keyClicks(grid.HexView(), "ff");
        QTest::keyClicks(grid.CharView(), "x");
        QCOMPARE(grid.ByteArray(), Sequence(4));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!grid.HexView()->model()->setData(grid.HexView()->model()->index(0, 0), "AA"));

        grid.SetByteArray(Bytes(70000, 7));
        QCOMPARE(grid.ByteArray().size(), std::size_t(65535));
    }

    void editingACellInPlaceStoresTheByte() {
        fhByteControl grid;
        grid.SetByteArray(Sequence(3));
        auto* model = grid.HexView()->model();
        QVERIFY(model->setData(model->index(0, 1), "a0"));
        QVERIFY(model->setData(model->index(0, 12), "#"));
        QVERIFY(!model->setData(model->index(0, 0), "zz"));
        QCOMPARE(grid.ByteArray(), Bytes({0, 0xA0, '#'}));
        QCOMPARE(model->data(model->index(0, 11)).toString(), QString(QChar(0xA0)));
        QCOMPARE(model->data(model->index(0, 10)).toString(), QString("."));
    }

    void inspectorReadsLittleEndianAndNotApplicablePastTheEnd() {
        Bytes b = Int32(-1234567);
        b.push_back(0x41);
        ByteInspection i = ByteInspection::At(b, 0);
        QCOMPARE(i.position, std::string("1 / 5"));
        QCOMPARE(i.int32, std::string("-1,234,567"));
        QCOMPARE(i.int16, std::string("10,617")); // 0x2979
        QCOMPARE(i.float64, std::string(ByteInspection::kNotApplicable));
        i = ByteInspection::At(b, 4);
        QCOMPARE(i.position, std::string("5 / 5"));
        QCOMPARE(i.byte, std::string("65"));
        QCOMPARE(i.character, std::string("A"));
        for (const std::string* s : {&i.int16, &i.int32, &i.float32, &i.float64, &i.flags})
            QCOMPARE(*s, std::string("Not Applicable"));
        const Bytes one = Int32(0x0100'0003);
        QCOMPARE(ByteInspection::At(one, 0).flags, std::string("00000001 00000000 00000000 00000011"));
    }

    void rawDataWindowEditsTheRecordAndDumpsTheSubrecord() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& file = plugins.Add("test.esp", {RecordBytes("GMST", {{"NAME", Text("sTest")}, {"STRV", Text("Hi")}})});
        file.CurrentRecordKey = "GMST1";
        file.CurrentSubRecordKey = "STRV";
        const test::TempDir program;
        frmRawData window(file, program / "Dumps");
        QCOMPARE(window.windowTitle(), QString("Raw Data - GMST1 / STRV"));
        QCOMPARE(window.Grid()->ByteArray(), Bytes({'H', 'i', 0}));
        QCOMPARE(window.InspectorText(0), QString("1 / 3"));
        window.Grid()->SetCursorOffset(2);
        QCOMPARE(window.InspectorText(2), QString("Not Applicable"));

        window.Grid()->SetCursorOffset(0);
        QTest::keyClicks(window.Grid()->HexView(), "59"); // 'Y'
        QVERIFY(file.Changed);
        const RecordEntry& r = file.Rec("GMST1");
        QVERIFY(r.Packed);
        const Bytes data = r.Data.ToBytes();
        QCOMPARE(data[14 + 8], std::uint8_t('Y')); // NAME (8 + 6 bytes), then STRV's header

        window.Dump();
        const auto dumped = program.path() / "Dumps" / "test.esp.GMST1.STRV.bin";
        QCOMPARE(test::ReadBytes(dumped), std::vector<unsigned char>({'Y', 'i', 0}));
        QCOMPARE(prompt.Texts().back(), "Raw data was dumped to file " + dumped.string());
        window.Grid()->Undo(); // back into the record too
        QCOMPARE(file.Rec("GMST1").Data.ToBytes()[22], std::uint8_t('H'));
        test::Shoot(window, "frmRawData");
    }

    void rawDataOfAWholeRecordIsReadOnlyForSupportFiles() {
        test::TestPlugins plugins;
        esfile& file = plugins.Add("m.esm", {Gmst("sA")});
        file.IsSupport = true;
        file.CurrentRecordKey = "GMST1";
        frmRawData window(file, plugins.dir());
        QCOMPARE(window.windowTitle(), QString("Raw Data - GMST1 / ALL"));
        QCOMPARE(window.Grid()->ByteArray().size(), std::size_t(11));
        QVERIFY(!window.Grid()->AllowEdit());
        QCOMPARE(frmRawData::DumpPath("/prog/Dumps", "m.esm", "GMST1", ""), std::filesystem::path("/prog/Dumps/m.esm.GMST1.ALL.bin"));
    }

    void insertRecordOffersFourCharacterGroupsOnly() {
        Config templ;
        templ.OpenText("[GMST]\n[ABC]\n[ABCDE]\n[NPC_]\n[NPC_.NAME]\n[@TEXTLOOKUP]\n");
        frmInsertRecord dialog(templ);
        QCOMPARE(Keys(dialog.Model()), QStringList({"GMST", "NPC_"}));
        test::Shoot(dialog, "frmInsertRecord");
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
        test::Shoot(dialog, "frmInsertSubrecord");
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
        test::Shoot(dialog, "frmParentLookup");
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
        test::Shoot(dialog, "frmSortSubrecords");
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
        plugins.Add("m.esm", {Race("Breton")});
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
        test::Shoot(dialog, "frmLookup");
        dialog.Grid()->setCurrentIndex(dialog.Model()->index(1, 0));
        dialog.accept();
        QCOMPARE(dialog.Result(), QString("Breton"));

        frmLookup alone(file, {&file}, types); // the master is not open
        QCOMPARE(alone.Model()->rowCount(), 1);
    }
};

QTEST_MAIN(RecordWindowsTest)
#include "RecordWindowsTest.moc"
