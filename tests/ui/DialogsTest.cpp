// The small pieces under the windows (recent files, file-button captions, progress, busy count,
// the prompt, the book preview), the small windows (file type, template chooser, options,
// multi-line editor), the windows that work on one record (the byte grid, the inspector, raw
// data, insert record and subrecord, parent lookup, sorting, lookup) and the integrity windows
// (the relatives wizard, merge options, the reference scan and browser) over the integrity
// tests' sample file.
#include "../index/IntegrityFixture.h"
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "index/ChangeRecordID.h"
#include "index/Marks.h"
#include "index/References.h"
#include "template/Config.h"
#include "ui/BookPreview.h"
#include "ui/Busy.h"
#include "ui/ByteGridModel.h"
#include "ui/ByteInspection.h"
#include "ui/FileButtonBar.h"
#include "ui/QtPrompt.h"
#include "ui/RecentFiles.h"
#include "ui/RelativesModel.h"
#include "ui/StatusProgress.h"
#include "ui/TextTableModel.h"
#include "ui/fhByteControl.h"
#include "ui/frmChangeFileType.h"
#include "ui/frmEditText.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmInsertSubrecord.h"
#include "ui/frmLookup.h"
#include "ui/frmMergeOptions.h"
#include "ui/frmOptions.h"
#include "ui/frmParentLookup.h"
#include "ui/frmRawData.h"
#include "ui/frmReferences.h"
#include "ui/frmScanReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/frmSortSubrecords.h"
#include "ui/frmTemplateChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::Gmst;
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

// The sample file of the integrity tests, open.
struct Sample : test::IntegrityTest {
    const std::string key = Open(test::SampleFile());
    bool Has(const std::string& id) { return FindRecordByID(File(key), id) >= 0; }
};

// Every reference left in the file names a record that is there.
QStringList Dangling(Sample& t) {
    t.files->BuildTextLookupList();
    QStringList dangling;
    for (const auto& ref : test::DecodeAllReferences(t.File(t.key), t.files->esTextLookups()))
        if (!t.Has(ref.value)) dangling << QString::fromStdString(ref.recordID + " -> " + ref.value);
    return dangling;
}

} // namespace

class DialogsTest : public QObject {
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

    void fileButtonsAreCutAndKeepThePressedOne() {
        QCOMPARE(FileButtonBar::ShortTitle(QString(25, 'x')), QString(25, 'x'));
        QCOMPARE(FileButtonBar::ShortTitle(QString(26, 'x')), QString(22, 'x') + "...");
        QCOMPARE(FileButtonBar::FitCaptions({"a.esp", "b.esp"}, 100), QStringList({"a.esp", "b.esp"})); // room
        // 24 characters for 2 buttons: 8 each, "..." included; never fewer than three.
        QCOMPARE(FileButtonBar::FitCaptions({"Morrowind_Patch.esp", "short"}, 24), QStringList({"Morro...", "short"}));
        QCOMPARE(FileButtonBar::FitCaptions({"abcdef", "ghijkl"}, 2), QStringList({"...", "..."}));
        FileButtonBar bar;
        bar.Rebuild({{"<Clipboard>", "Clipboard", false}, {"/a/m.esm", "m.esm", true}, {"/a/p.esp", "p.esp", false}});
        bar.PressButton("/a/p.esp");
        QCOMPARE(bar.PressedKey(), QString("/a/p.esp"));
        bar.Rebuild({{"<Clipboard>", "Clipboard", false}, {"/a/p.esp", "p.esp", false}});
        QCOMPARE(bar.PressedKey(), QString("/a/p.esp")); // survives a rebuild
    }

    void progressBarBusyCountAndCancel() {
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
        QVERIFY(!p.Cancelled() && !cancel.isEnabled());
        p.Waiting(10, "Saving");
        text.setText("b.esp"); // written while waiting: kept
        p.DoneWaiting();
        QCOMPARE(text.text(), QString("b.esp"));
        // Yields to the event loop are throttled.
        for (int i = 0; i < 100000; ++i)
            p.Waiting(i / 1000.0, {});
        QVERIFY(p.YieldCount() >= 1 && p.YieldCount() < 1000);

        QList<bool> seen;
        SetBusyHandler([&](bool busy) { seen << busy; });
        EndBusy(); // never below nought
        QCOMPARE(BusyCount(), 0);
        {
            BusyGuard outer, inner;
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

    void bookPreviewPage() {
        const std::string html = BookPreviewHtml("@Title#<BR><IMG SRC=\"b\\x.tga\">", "bg.bmp", "/games/mw/Data Files/");
        QCOMPARE(QString::fromStdString(html),
                 QString("<HTML> <BODY>\n<TABLE background='bg.bmp' width = 393 CELLPADDING=20>\n<td>\n"
                         "<FONT COLOR = 0000ff>Title</FONT><BR><IMG SRC=\"/games/mw/Data Files/BookArt/b\\x.tga\">\n"
                         "</td></tr></Table>\n</BODY> </HTML>\n"));
    }

    void fileTypeAndTemplateChoosers() {
        QCOMPARE(frmChangeFileType(0).SelectedType(), 0);
        frmChangeFileType odd(7);
        QCOMPARE(odd.SelectedType(), -1); // indeterminate changes nothing
        odd.Select(2);
        QCOMPARE(odd.SelectedType(), 2);

        test::TempDir dir;
        std::ofstream(dir / "Plugin.esp") << "x";
        std::ofstream(dir / "Master.esm") << "x";
        frmTemplateChooser chooser(dir.path());
        QCOMPARE(chooser.List()->count(), 2);
        QCOMPARE(chooser.List()->item(0)->text(), QString("Master")); // without extension
        chooser.List()->setCurrentRow(1);
        chooser.accept();
        QCOMPARE(chooser.Chosen(), QString("Plugin.esp"));
    }

    // OK copies the values (the main window's options test); Cancel keeps them and undoes the
    // view changes that showed at once; clearing safe editing asks first.
    void optionsCancelAndSafeEditingQuestion() {
        EditorContext c;
        test::PromptRecorder prompt;
        c.values.ConfirmCut = false;
        frmOptions dialog(c);
        int changes = 0;
        connect(&dialog, &frmOptions::viewChanged, [&] { ++changes; });
        dialog.Box("ConfirmCut")->setChecked(true);
        dialog.Encoding()->setCurrentIndex(dialog.Encoding()->findData(1251));
        dialog.Box("ViewRecordTypes")->setChecked(true);
        QVERIFY(c.values.ViewRecordTypes);
        QCOMPARE(changes, 1);

        prompt.answers = {Answer::No};
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(dialog.Box("EnableSafeEdit")->isChecked()); // No puts the check back
        QCOMPARE(prompt.Texts(), std::vector<std::string>{
            "Safe editing ensures that the editor scans for dependencies when you delete, cut or copy.Without safe "
            "editing it is possible to delete entries that other entries rely on and copy entries without the "
            "entries that they rely on.\n\nAre you sure you want to TURN OFF safe editing?"});
        prompt.answers = {Answer::Yes};
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(!dialog.Box("EnableSafeEdit")->isChecked());

        dialog.reject();
        QVERIFY(!c.values.ViewRecordTypes);
        QCOMPARE(changes, 2);
        QVERIFY(!c.values.ConfirmCut && c.values.EnableSafeEdit);
        QCOMPARE(c.codePage, 1252);
    }

    void editTextKeepsLineEnds() {
        frmEditText crlf("a\r\nb", false);
        QCOMPARE(crlf.Editor()->toPlainText(), QString("a\nb"));
        QCOMPARE(crlf.Text(), QString("a\r\nb"));
        frmEditText lf("a\nb", true);
        QCOMPARE(lf.Text(), QString("a\nb"));
        QString previewed;
        lf.SetPreview([&](const QString& t) { previewed = t; });
        for (QPushButton* b : lf.findChildren<QPushButton*>())
            if (b->text() == "HT&ML")
                b->click();
        QCOMPARE(previewed, QString("a\nb"));
    }

    // Keys typed into the byte grid: two hex digits or one character a byte, then on; the undo
    // button restores the array and says so once; a read-only grid takes nothing.
    void byteGridTypingUndoAndReadOnly() {
        fhByteControl grid;
        const Bytes original = Sequence(12);
        grid.SetByteArray(original);
        QSignalSpy changed(&grid, &fhByteControl::ByteChanged);
        QSignalSpy reverted(&grid, &fhByteControl::Reverted);
        grid.SetCursorOffset(0);
        QTest::keyClicks(grid.HexView(), "4f");
        QCOMPARE(grid.CursorOffset(), 1);
        QTest::keyClicks(grid.CharView(), "Az");
        QCOMPARE(grid.CursorOffset(), 3);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);
        QCOMPARE(changed.at(0).at(1).value<quint8>(), quint8(0x4F));
        QCOMPARE(grid.ByteArray()[1], std::uint8_t('A'));
        QCOMPARE(grid.ByteArray()[2], std::uint8_t('z'));
        // The two views' cursors follow each other; Backspace steps back, Delete on.
        auto* cells = static_cast<ByteGridModel*>(grid.HexView()->model());
        QCOMPARE(grid.CharView()->currentIndex(), cells->CharIndex(3));
        QCOMPARE(grid.HexView()->currentIndex(), cells->HexIndex(3));
        QTest::keyClick(grid.CharView(), Qt::Key_Backspace);
        QCOMPARE(grid.CursorOffset(), 2);
        QTest::keyClick(grid.HexView(), Qt::Key_Delete);
        QTest::keyClick(grid.HexView(), Qt::Key_Delete);
        QCOMPARE(grid.CursorOffset(), 4);
        QCOMPARE(cells->OffsetOf(cells->index(1, 5)), -1); // past the end of the last row
        grid.UndoButton()->click();
        QCOMPARE(grid.ByteArray(), original);
        QCOMPARE(reverted.count(), 1);

        // Edited in place: a hex cell takes two digits, a character cell one character.
        auto* model = grid.HexView()->model();
        QVERIFY(model->setData(model->index(0, 1), "a0"));
        QVERIFY(model->setData(model->index(0, 12), "#"));
        QVERIFY(!model->setData(model->index(0, 0), "zz"));
        QCOMPARE(grid.ByteArray()[1], std::uint8_t(0xA0));
        QCOMPARE(grid.ByteArray()[2], std::uint8_t('#'));
        QCOMPARE(model->data(model->index(0, 11)).toString(), QString(QChar(0xA0)));
        QCOMPARE(model->data(model->index(0, 10)).toString(), QString("."));

        grid.SetByteArray(Sequence(4));
        grid.SetAllowEdit(false);
        changed.clear();
        grid.SetCursorOffset(0);
        QTest::keyClicks(grid.HexView(), "ff");
        QTest::keyClicks(grid.CharView(), "x");
        QCOMPARE(grid.ByteArray(), Sequence(4));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!grid.HexView()->model()->setData(grid.HexView()->model()->index(0, 0), "AA"));
        grid.SetByteArray(Bytes(70000, 7));
        QCOMPARE(grid.ByteArray().size(), std::size_t(65535)); // long arrays are cut
    }

    void byteGridRowsExpandAndHeadings() {
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

    void inspectorReadsLittleEndianAndNotApplicablePastTheEnd() {
        Bytes b = test::Int32(-1234567);
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
        QCOMPARE(ByteInspection::At(test::Int32(0x0100'0003), 0).flags, std::string("00000001 00000000 00000000 00000011"));
    }

    // A subrecord in the raw data window: the inspector reads at the cursor, the grid's undo
    // goes back into the record. A support file's whole record is read-only.
    void rawDataOfASubrecordAndOfASupportFile() {
        test::TestPlugins plugins;
        esfile& file = plugins.Add("test.esp", {RecordBytes("GMST", {{"NAME", Text("sTest")}, {"STRV", Text("Hi")}})});
        file.CurrentRecordKey = "GMST1";
        file.CurrentSubRecordKey = "STRV";
        frmRawData window(file, plugins.dir());
        QCOMPARE(window.windowTitle(), QString("Raw Data - GMST1 / STRV"));
        QCOMPARE(window.Grid()->ByteArray(), Bytes({'H', 'i', 0}));
        QCOMPARE(window.InspectorText(0), QString("1 / 3"));
        window.Grid()->SetCursorOffset(2);
        QCOMPARE(window.InspectorText(2), QString("Not Applicable"));
        window.Grid()->SetCursorOffset(0);
        QTest::keyClicks(window.Grid()->HexView(), "59"); // 'Y'
        QVERIFY(file.Changed && file.Rec("GMST1").Packed);
        QCOMPARE(file.Rec("GMST1").Data.ToBytes()[14 + 8], std::uint8_t('Y')); // NAME (8 + 6 bytes), STRV's header
        window.Grid()->Undo();
        QCOMPARE(file.Rec("GMST1").Data.ToBytes()[22], std::uint8_t('H'));
        test::Shoot(window, "frmRawData");

        esfile& master = plugins.Add("m.esm", {Gmst("sA")});
        master.IsSupport = true;
        master.CurrentRecordKey = "GMST1";
        frmRawData whole(master, plugins.dir());
        QCOMPARE(whole.windowTitle(), QString("Raw Data - GMST1 / ALL"));
        QCOMPARE(whole.Grid()->ByteArray().size(), std::size_t(11));
        QVERIFY(!whole.Grid()->AllowEdit());
    }

    void insertRecordOffersFourCharacterGroupsAndSubrecordsMatchInAnyCase() {
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

        test::TestPlugins plugins("[NPC_]\nPropID = NAME:ID\n[NPC_.NAME]\nID = STRING\n[npc_.FNAM]\nName = STRING\n"
                                  "[NPC_.NPDT.X]\n[CREA.NAME]\n[@FILESEQUENCE]\nTES3\nNPC_\n");
        esfile& file = plugins.Add("a.esp", {RecordBytes("NPC_", {{"NAME", Text("guard")}})});
        frmInsertSubrecord subrecord(file, "NPC_1");
        QCOMPARE(Keys(subrecord.Model()), QStringList({"NAME", "FNAM"}));
        test::Shoot(subrecord, "frmInsertSubrecord");
        subrecord.Select("FNAM");
        subrecord.accept();
        QCOMPARE(subrecord.Result(), QString("FNAM"));
    }

    void parentLookupListsTheCategory() {
        test::TestPlugins plugins;
        esfile& file = plugins.Add("a.esp", {Race("Dark Elf"), Race("Nord")});
        frmParentLookup dialog(file, "RACE", "Race");
        QCOMPARE(dialog.windowTitle(), QString("Select Parent Race"));
        QCOMPARE(Keys(dialog.Model()), QStringList({"RACE1", "RACE2"}));
        QCOMPARE(dialog.Model()->At(1).cells.value(0), QString("Nord"));
        test::Shoot(dialog, "frmParentLookup");
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
        QVERIFY(file.Rec("GMST1").Packed && !file.Changed);
        QCOMPARE(file.Rec("GMST1").Data.ToBytes(), before);

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
        QVERIFY(r.Packed && file.Changed);
        const Bytes after = r.Data.ToBytes();
        QCOMPARE(std::string(after.begin(), after.begin() + 4), std::string("STRV"));
        QCOMPARE(after.size(), before.size());
        // The summary of a subrecord's values is cut to 47 characters.
        QCOMPARE(frmSortSubrecords::Summary({"a", "b"}), std::string("(a, b)"));
        QVERIFY(frmSortSubrecords::Summary(std::vector<std::string>(12, "x")).ends_with("...)"));
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
        frmLookup dialog(file, {[&plugins] { return plugins.Open(); }, {}}, types, "breton", &progress);
        QCOMPARE(dialog.Model()->rowCount(), 2);
        QCOMPARE(dialog.Model()->At(0).cells, QStringList({"Khajiit", "a.esp"}));
        QCOMPARE(dialog.Model()->At(1).cells, QStringList({"Breton", "m.esm"}));
        QVERIFY(!progress.reports.empty());
        QCOMPARE(progress.reports.back().second, std::string("Populating Grid "));
        QCOMPARE(dialog.Grid()->currentIndex().row(), 1); // the current value, found in the master
        QVERIFY(!dialog.MastersNotice()->isVisibleTo(&dialog));
        // The keys go to the list: Up picks the row above, Return takes it.
        test::OnNextModal([](QWidget* modal) {
            if (QTest::qWaitForWindowActive(modal) && test::Press(Qt::Key_Up))
                test::Press(Qt::Key_Return);
            if (modal->isVisible())
                static_cast<QDialog*>(modal)->reject();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.Result(), QString("Khajiit"));
        test::Shoot(dialog, "frmLookup");

        frmLookup alone(file, {[&file] { return std::vector<const esfile*>{&file}; }, {}}, types, "Breton");
        QCOMPARE(alone.Model()->rowCount(), 1); // the master is not open: said, but not offered to load
        QVERIFY(alone.MastersNotice()->isVisibleTo(&alone));
        QVERIFY(!alone.LoadMastersButton()->isVisibleTo(&alone));
    }

    void deleteWithDescendantsLeavesNoDanglingReference() {
        Sample t;
        frmScanRelatives wizard(*t.files, {t.key, "SCPT1", "", "", false}, frmScanRelatives::kDelete);
        QCOMPARE(wizard.windowTitle(), QString("Delete Record SCPT1 / Subrecord ALL Selected Entry (Safe Editing Enabled)"));
        wizard.Start();
        QCOMPARE(wizard.Info()->text(), QString("Finished"));
        QCOMPARE(wizard.Model(frmScanRelatives::kSelection)->rowCount(), 1);
        QCOMPARE(wizard.Model(frmScanRelatives::kAncestors)->rowCount(), 0); // delete looks down only
        RelativesModel* descendants = wizard.Model(frmScanRelatives::kDescendants);
        QVERIFY(descendants->rowCount() >= 2);
        for (int r = 0; r < descendants->rowCount(); ++r)
            QCOMPARE(descendants->data(descendants->index(r, RelativesModel::kAction)).toString(), QString("Delete"));
        wizard.GoToStep(frmScanRelatives::kDescendants);
        test::Shoot(wizard, "frmScanRelatives");
        wizard.GoToStep(frmScanRelatives::kFinish);
        wizard.CompleteOperation();
        QVERIFY(wizard.Completed());
        QVERIFY(!t.Has("scr_a"));
        QVERIFY(!t.Has("npc_a")); // its required SCRI named the script: the whole NPC went
        QVERIFY(t.Has("npc_b"));
        QCOMPARE(Dangling(t), QStringList());
    }

    void actionsCanBeChangedPerRowAndForAll() {
        Sample t;
        frmScanRelatives wizard(*t.files, {t.key, "SCPT1", "", "", false}, frmScanRelatives::kDelete);
        wizard.Start();
        RelativesModel* d = wizard.Model(frmScanRelatives::kDescendants);
        QVERIFY(d->setData(d->index(0, RelativesModel::kAction), 3));
        QCOMPARE(d->Entry(0).Action, 3);
        QVERIFY(!d->setData(d->index(0, RelativesModel::kAction), 7));
        d->SetAllActions(-1);
        QCOMPARE(d->data(d->index(1, RelativesModel::kAction)).toString(), QString("No Action"));
        wizard.CompleteOperation(); // only the script goes
        QVERIFY(!t.Has("scr_a"));
        QVERIFY(t.Has("npc_a"));
    }

    void fetchAddsAncestorsWithTheWindowsDefaultAndSkipWarns() {
        Sample t;
        frmScanRelatives wizard(*t.files, {t.key, "NPC_5", "", "", false}, frmScanRelatives::kCopy);
        wizard.Start();
        QVERIFY(wizard.Model(frmScanRelatives::kAncestors)->rowCount() >= 4); // faction, script, item, spell
        wizard.GoToStep(frmScanRelatives::kDescendants);
        wizard.Fetch();
        RelativesModel* d = wizard.Model(frmScanRelatives::kDescendants);
        QVERIFY(d->rowCount() >= 1); // the response naming npc_a
        QCOMPARE(d->Entry(0).Action, -1); // copy: descendants are left alone
        wizard.Skip();
        QVERIFY(wizard.Skipped());
        QVERIFY(wizard.FinishText()->text().startsWith("Warning: You have skipped checking of dependencies"));
        QVERIFY(wizard.FinishText()->text().endsWith("'Ancestors' and 'Descendents' tabs."));
        wizard.reject();
        QVERIFY(!wizard.Completed());
        QVERIFY(t.Has("npc_a"));
    }

    void wizardClosesWhenRejectedWhileModal() {
        Sample t;
        frmScanRelatives wizard(*t.files, {t.key, "SCPT1", "", "", false}, frmScanRelatives::kDelete);
        test::OnNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
        QCOMPARE(wizard.exec(), int(QDialog::Rejected));
    }

    void mergeOptionsStoreTheChoiceOrMinusOne() {
        frmMergeOptions dialog;
        QCOMPARE(dialog.PasteMergeType(), -1);
        test::Shoot(dialog, "frmMergeOptions");
        dialog.SetChoice(1);
        dialog.accept();
        QCOMPARE(dialog.PasteMergeType(), 1);
        frmMergeOptions cancelled;
        cancelled.SetChoice(1);
        QTest::keyClick(&cancelled, Qt::Key_Escape);
        QCOMPARE(cancelled.PasteMergeType(), -1);
    }

    void renamedIDIsCarriedIntoItsReferences() {
        Sample t;
        QVERIFY(ChangeRecordID(t.File(t.key), 2, "fac_b"));
        esCheckedEntries changes;
        esCheckedEntry& e = changes.Add("FACT2", t.key, "FACT2");
        e.OldID = "fac_a";
        e.NewID = "fac_b";
        frmScanReferences window(*t.files, t.key, changes);
        QCOMPARE(window.Heading()->text(), QString("Scan References: fac_b"));
        QVERIFY(window.ProgressText()->text().startsWith(" You have changed an ID value"));
        QVERIFY(window.AllFiles()->isChecked() && !window.RewriteScripts()->isChecked());
        window.Scan();
        QCOMPARE(window.Changes()->rowCount(), 2); // both NPCs' factions
        QCOMPARE(window.ScanButton()->text(), QString("OK "));
        test::Shoot(window, "frmScanReferences");

        esCheckedEntries two;
        two.Add("A", t.key, "SCPT1");
        two.Add("B", t.key, "SPEL4");
        frmScanReferences multiple(*t.files, t.key, two);
        QCOMPARE(multiple.Heading()->text(), QString("Scan References: Multiple Records"));
    }

    void referencesBrowserGroupsGoesToTicksAndWalksBack() {
        Sample t;
        frmReferences browser(*t.files, t.key);
        QSignalSpy goTo(&browser, &frmReferences::GoTo);
        browser.Browse("NPC_5");
        QVERIFY(browser.RecordLabel()->text().startsWith("npc_a"));
        QStandardItemModel* m = browser.Model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->item(0)->text(), QString("[Ancestors]"));
        QCOMPARE(m->item(1)->text(), QString("[Descendants]"));
        QVERIFY(m->item(0)->rowCount() >= 4);
        QCOMPARE(m->item(1)->rowCount(), 1);
        QCOMPARE(m->item(1)->child(0, 2)->text(), QString("i1"));
        test::Shoot(browser, "frmReferences");

        // A record before the rows' records goes: the rows follow their records, not positions.
        const int ancestors = m->item(0)->rowCount();
        MarkAsDeleted(t.File(t.key), "SPEL4");
        t.files->DeleteMarked(t.key, nullptr);
        QVERIFY(browser.RefreshIfChanged());
        QVERIFY(!browser.RefreshIfChanged());
        QCOMPARE(browser.Model()->item(0)->rowCount(), ancestors - 1);
        m = browser.Model();

        m->item(1)->child(0)->setCheckState(Qt::Checked);
        QVERIFY(t.files->CheckedEntries(t.key).Exists(t.key + ".INFO8"));
        browser.ShowNewReferences()->setChecked(true);
        browser.Grid()->setCurrentIndex(m->item(1)->child(0)->index());
        browser.GoToSelected();
        QCOMPARE(goTo.count(), 1);
        QCOMPARE(goTo.at(0).at(1).toString(), QString("INFO8"));
        QVERIFY(browser.RecordLabel()->text().startsWith("i1"));
        QVERIFY(browser.BackButton()->isEnabled());
        browser.Back();
        QVERIFY(browser.RecordLabel()->text().startsWith("npc_a"));
        QVERIFY(browser.ForwardButton()->isEnabled());
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
