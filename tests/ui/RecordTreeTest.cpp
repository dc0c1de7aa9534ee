// The record tree: categories, lazy children, captions, check boxes, keys, history.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esCheckedEntries.h"
#include "model/esfile.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QColor>
#include <QTreeView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

namespace {

struct OpenFile {
    test::EditorSession s;
    frmLowLevelEdit* editor;
    RecordTreeModel* model;
    QTreeView* tree;
    QString key;
    explicit OpenFile(const std::string& name) {
        key = QString::fromStdString(s.Copy(name));
        s.Window().OpenFiles({key});
        editor = &s.Window().Editor();
        model = editor->Model();
        tree = editor->Tree();
    }
    QModelIndex Cat(const char* type) const { return model->CategoryIndex(type); }
    void Click(const QModelIndex& i) { tree->setCurrentIndex(i); }
    void Key(int key) { QTest::keyClick(tree, static_cast<Qt::Key>(key)); }
};

} // namespace

class RecordTreeTest : public QObject {
    Q_OBJECT
private slots:
    void categoriesAndCaptions() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        QVERIFY(f.model->rowCount() >= 50);
        QCOMPARE(f.model->index(0, 0).data().toString(), QString("~File Header  (1)"));
        const QModelIndex gmst = f.Cat("GMST");
        QCOMPARE(gmst.data().toString(), QString("Game Settings  (10)"));
        QCOMPARE(gmst.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
        const QModelIndex npc = f.Cat("NPC_");
        QCOMPARE(npc.data().toString(), QString("Non Player Characters")); // empty: grey, no count
        QCOMPARE(npc.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xA0, 0xA0, 0xA0));
        QVERIFY(!f.model->hasChildren(npc));
        f.s.context.values.ViewRecordTypes = true;
        f.editor->RefreshCaptions();
        QCOMPARE(gmst.data().toString(), QString("GMST Game Settings  (10)"));
    }

    void childrenAreBuiltLazily() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        const QModelIndex gmst = f.Cat("GMST");
        QVERIFY(f.model->hasChildren(gmst));
        QCOMPARE(f.model->rowCount(gmst), 0);
        f.Click(gmst);
        QCOMPARE(f.model->rowCount(gmst), 10);
        QCOMPARE(f.s.context.files.Find(f.key.toStdString())->CurrentCatKey, std::string("GMST"));
        const QModelIndex first = f.model->index(0, 0, gmst);
        QVERIFY(first.data().toString().startsWith("GMST "));
        f.Click(first);
        QVERIFY(f.model->rowCount(first) > 0);
        const QModelIndex second = f.model->index(1, 0, gmst);
        f.Click(second);
        QCOMPARE(f.model->rowCount(first), 0); // the first record's subrecords are gone
        QVERIFY(f.model->rowCount(second) > 0);
        QCOMPARE(f.model->index(0, 0, second).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    }

    void checkBoxesFollowParentAndChildren() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        const QModelIndex gmst = f.Cat("GMST");
        f.Click(gmst);
        const QModelIndex record = f.model->index(0, 0, gmst);
        f.Click(record);
        const int subs = f.model->rowCount(record);
        QVERIFY(subs >= 2);
        f.model->setData(record, Qt::Checked, Qt::CheckStateRole);
        for (int i = 0; i < subs; ++i)
            QCOMPARE(f.model->index(i, 0, record).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        const QModelIndex sub = f.model->index(1, 0, record);
        const std::string subMark = sub.data(RecordTreeModel::MarkedKeyRole).toString().toStdString();
        QCOMPARE(subMark, record.data(RecordTreeModel::KeyRole).toString().toStdString() + "." +
                              sub.data(RecordTreeModel::KeyRole).toString().toStdString());
        f.model->setData(sub, Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(record.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked)); // clearing one clears the parent
        QCOMPARE(f.model->index(0, 0, record).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // A checked category marks its records, also those built later.
        const QModelIndex header = f.Cat("TES3");
        f.model->setData(header, Qt::Checked, Qt::CheckStateRole);
        f.Click(header);
        QCOMPARE(f.model->index(0, 0, header).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(f.s.Window().Command("mnuEditDelete")->text() == "&Delete Marked");
    }

    void markAllShowMarkedUnmark() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        frmMain& w = f.s.Window();
        w.Command("mnuEditMarkAll")->trigger();
        const esCheckedEntries& checked = f.s.context.files.CheckedEntries(f.key.toStdString());
        QCOMPARE(checked.Count(), std::size_t(11)); // the header and ten game settings
        QCOMPARE(f.Cat("GMST").data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        f.Click(f.Cat("GMST"));
        f.Click(f.model->index(0, 0, f.Cat("GMST")));
        w.Command("mnuEditEditMarked")->trigger();
        QCOMPARE(QString::fromStdString(f.editor->Entries().Item(1).Caption), QString("Marked Entries"));
        // Heading, actions, eleven records and the two subrecords of the record opened while ticked.
        QCOMPARE(f.editor->Entries().Count(), std::size_t(2 + 11 + 2));
        w.Command("mnuEditUnmark")->trigger();
        QCOMPARE(checked.Count(), std::size_t(0));
        QCOMPARE(f.Cat("GMST").data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(w.Command("mnuEditDelete")->text(), QString("&Delete"));
    }

    void keysMoveTheSelection() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        const QModelIndex gmst = f.Cat("GMST");
        f.Click(gmst);
        f.tree->setFocus();
        f.Key(Qt::Key_Up);
        QCOMPARE(f.tree->currentIndex(), f.model->index(0, 0)); // previous sibling: the file header
        f.Key(Qt::Key_Up);
        QCOMPARE(f.tree->currentIndex(), f.model->index(0, 0)); // nothing above the first
        f.Key(Qt::Key_Down);
        QCOMPARE(f.tree->currentIndex(), gmst);
        f.Key(Qt::Key_Right); // expands
        QVERIFY(f.tree->isExpanded(gmst));
        f.Key(Qt::Key_Right); // first child
        QCOMPARE(f.tree->currentIndex(), f.model->index(0, 0, gmst));
        f.Key(Qt::Key_Down);
        QCOMPARE(f.tree->currentIndex(), f.model->index(1, 0, gmst));
        f.Key(Qt::Key_Left); // a collapsed record: its parent
        QCOMPARE(f.tree->currentIndex(), gmst);
        f.Key(Qt::Key_Left); // an expanded node collapses
        QVERIFY(!f.tree->isExpanded(gmst));
    }

    void unknownAndHiddenTypes() {
        test::EditorSession s;
        // A header and one record of a type no category lists.
        const auto path = s.DataFolder() / "odd.esp";
        test::WriteBytes(path, test::Concat({test::HeaderRecord(1), test::RecordBytes("ZZZZ", {{"NAME", test::Text("thing")}})}));
        s.context.templ.FindGroup("GMST")->Instructions.Add("Hidden", "");
        s.Window().OpenFiles({QString::fromStdString(path.string())});
        RecordTreeModel* model = s.Window().Editor().Model();
        const QModelIndex odd = model->CategoryIndex("ZZZZ");
        QVERIFY(odd.isValid());
        QCOMPARE(odd.data().toString(), QString("@Unknown Type ZZZZ  (1)"));
        QCOMPARE(odd.row(), model->rowCount() - 1); // after the listed ones
        QVERIFY(!model->CategoryIndex("GMST").isValid());
        QVERIFY(model->CategoryIndex("GLOB").isValid());
    }

    void nodeBuildingReportsEvery31Records() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("antares_big_mod_1.2.esp"); // 51 global variables, 4 NPCs
        test::RecordingProgress progress;
        f.model->BuildRecords(f.Cat("NPC_"), &progress);
        QCOMPARE(progress.reports.size(), std::size_t(0));
        f.model->BuildRecords(f.Cat("GLOB"), &progress);
        QCOMPARE(progress.reports.size(), std::size_t(1));
        QVERIFY(progress.reports[0].second.rfind("Building node GLOB", 0) == 0);
    }

    void backAndForward() {
        VELLUM_QREQUIRE_SHARED();
        OpenFile f("blank.esm");
        frmMain& w = f.s.Window();
        const QModelIndex gmst = f.Cat("GMST");
        f.Click(gmst);
        f.Click(f.model->index(0, 0, gmst));
        f.Click(f.model->index(2, 0, gmst));
        QVERIFY(w.Command("Back")->isEnabled());
        QVERIFY(!w.Command("Forward")->isEnabled());
        const std::string third = f.model->KeyOf(f.model->index(2, 0, gmst));
        const std::string first = f.model->KeyOf(f.model->index(0, 0, gmst));
        w.Command("Back")->trigger();
        QCOMPARE(f.s.context.files.Find(f.key.toStdString())->CurrentRecordKey, first);
        QVERIFY(w.Command("Forward")->isEnabled());
        w.Command("Forward")->trigger();
        QCOMPARE(f.s.context.files.Find(f.key.toStdString())->CurrentRecordKey, third);
        QCOMPARE(f.editor->History().Count(), std::size_t(3));
        w.Command("UpLevel")->trigger();
        QCOMPARE(f.tree->currentIndex(), gmst);
    }
};

QTEST_MAIN(RecordTreeTest)
#include "RecordTreeTest.moc"
