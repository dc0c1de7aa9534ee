// The relatives scan wizard, the merge options, the reference scan and the references browser
// over the sample file of the integrity tests.
#include "../index/IntegrityFixture.h"
#include "UiTestSupport.h"

#include "index/ChangeRecordID.h"
#include "index/Marks.h"
#include "index/References.h"
#include "ui/RelativesModel.h"
#include "ui/frmMergeOptions.h"
#include "ui/frmReferences.h"
#include "ui/frmScanReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/TextTableModel.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>
#include <QTreeView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

namespace {

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

class IntegrityWindowsTest : public QObject {
    Q_OBJECT
private slots:
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
        const int ancestors = wizard.Model(frmScanRelatives::kAncestors)->rowCount();
        QVERIFY(ancestors >= 4); // faction, script, item, spell
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
        QVERIFY(window.AllFiles()->isChecked());
        QVERIFY(!window.RewriteScripts()->isChecked());
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

QTEST_MAIN(IntegrityWindowsTest)
#include "IntegrityWindowsTest.moc"
