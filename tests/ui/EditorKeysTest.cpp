// The editor from the keyboard: keys go to whatever widget has the focus, as a user's would.
// The tree keeps the focus through selections and busy spells; Del, Ctrl+X, Ctrl+C and Ctrl+V
// act on the tree's selection outside edit controls and do the control's own work inside
// them; after each of those commands the selection is at the nearest entry that remains.
#include "UiTestSupport.h"

#include "index/esFiles.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/fhByteControl.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

namespace {

// Type and ID of the selected record, and the selected subrecord's key after a blank.
QString Selected(test::OpenedPlugin& o) {
    const esfile& f = o.file;
    if (f.CurrentRecordKey.empty())
        return QString::fromStdString(f.CurrentCatKey);
    const RecordEntry& r = f.Rec(f.CurrentRecordKey);
    QString s = QString::fromStdString(r.Name + ":" + r.ID);
    if (!f.CurrentSubRecordKey.empty())
        s += " " + QString::fromStdString(f.CurrentSubRecordKey);
    return s;
}

QString RowId(test::OpenedPlugin& o, const char* type, int row) {
    const QModelIndex i = o.model.index(row, 0, o.Cat(type));
    return QString::fromStdString(std::string(type) + ":" + o.file.Rec(o.model.KeyOf(i)).ID);
}

} // namespace

class EditorKeysTest : public QObject {
    Q_OBJECT
private slots:
    void theTreeKeepsTheFocusThroughSelections() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        QTreeView* tree = o.ed.Tree();
        QCOMPARE(QApplication::focusWidget(), tree); // a file just shown: its tree takes the keys
        // Down the categories to the scripts, each one selected on the way.
        QVERIFY(test::Press(Qt::Key_Down));
        QVERIFY(test::Press(Qt::Key_Up));
        QCOMPARE(tree->currentIndex(), o.model.index(0, 0)); // nothing above the first
        for (int n = 0; o.file.CurrentCatKey != "SCPT" && n < 60; ++n) {
            const QModelIndex before = tree->currentIndex();
            QVERIFY(test::Press(Qt::Key_Down));
            QVERIFY(tree->currentIndex() != before);
            QCOMPARE(QApplication::focusWidget(), tree);
        }
        const QModelIndex scripts = o.Cat("SCPT");
        QVERIFY(test::Press(Qt::Key_Right));
        QVERIFY(tree->isExpanded(scripts));
        QVERIFY(test::Press(Qt::Key_Right)); // the first script
        for (int row = 1; row <= 40; ++row) {
            QVERIFY(test::Press(Qt::Key_Down));
            QCOMPARE(Selected(o), RowId(o, "SCPT", row));
            QCOMPARE(QApplication::focusWidget(), tree);
        }
        // Key, then where the selection is and whether the scripts are expanded.
        const struct {
            int key;
            QModelIndex at;
            bool expanded;
            const char* why;
        } steps[] = {
            {Qt::Key_Right, o.model.index(40, 0, scripts), true, "a record opens"},
            {Qt::Key_Right, o.model.index(0, 0, o.model.index(40, 0, scripts)), true, "its first subrecord"},
            {Qt::Key_Left, o.model.index(40, 0, scripts), true, "a subrecord: its record"},
            {Qt::Key_Left, o.model.index(40, 0, scripts), true, "an open record closes"},
            {Qt::Key_Left, scripts, true, "a closed record: its category"},
            {Qt::Key_Left, scripts, false, "an expanded category collapses"},
            {Qt::Key_Up, scripts.sibling(scripts.row() - 1, 0), false, "the category before"},
            {Qt::Key_Down, scripts, false, "the next one"},
        };
        for (const auto& step : steps) {
            QVERIFY(test::Press(step.key));
            QVERIFY2(tree->currentIndex() == step.at && tree->isExpanded(scripts) == step.expanded, step.why);
        }

        // Busy: the keys are dropped, the focus stays, and the Cancel button still takes a click.
        {
            BusyGuard busy;
            QVERIFY(test::Press(Qt::Key_Down));
            QCOMPARE(tree->currentIndex(), scripts);
            QCOMPARE(QApplication::focusWidget(), tree);
            o.w.Progress().Waiting(10, "Working");
            QTest::mouseClick(o.w.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
            QVERIFY(o.w.Progress().Cancelled());
            o.w.Progress().DoneWaiting();
        }
        QVERIFY(test::Press(Qt::Key_Down));
        QCOMPARE(tree->currentIndex(), scripts.sibling(scripts.row() + 1, 0));
        QCOMPARE(QApplication::focusWidget(), tree);
        QCOMPARE(o.w.findChild<QTabWidget*>("EditTab")->currentIndex(), 0);
    }

    void editKeysStayInsideEditControls() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.EditFreely();
        QVERIFY(test::ShowActive(o.w));
        const std::size_t records = o.file.Records().size();
        const esfile& clipboard = o.s.context.files.ClipboardFile();

        // The byte grid of a compiled script: Delete moves its cursor on.
        const std::string script = o.NthKey("SCPT", 0);
        o.Go("SCPT", script, "SCDT");
        QPointer<fhByteControl> grid = o.ed.Form()->findChild<fhByteControl*>();
        QVERIFY(grid);
        QTableView* hex = grid->HexView();
        QTest::mouseClick(hex->viewport(), Qt::LeftButton, {}, hex->visualRect(hex->model()->index(0, 1)).center());
        QCOMPARE(QApplication::focusWidget(), hex);
        const int at = grid->CursorOffset();
        QVERIFY(at >= 0);
        QVERIFY(test::Press(Qt::Key_Delete));
        QVERIFY2(grid, "the form was rebuilt");
        QCOMPARE(grid->CursorOffset(), at + 1);
        for (int key : {Qt::Key_X, Qt::Key_C, Qt::Key_V})
            QVERIFY(test::Press(key, Qt::ControlModifier));
        QCOMPARE(o.file.CurrentSubRecordKey, std::string("SCDT"));
        QVERIFY(o.file.Rec(script).SubRecords->Exists("SCDT"));

        // A text box: the keys copy, delete and paste its text.
        const std::string npc = o.KeyOf("NPC_", "PP_ordinator");
        o.Go("NPC_", npc);
        QLineEdit* name = nullptr;
        for (QLineEdit* e : o.ed.Form()->findChildren<QLineEdit*>())
            if (e->text() == "Ordinator" || (!name && !e->isReadOnly() && e->isEnabled() && !e->text().isEmpty()))
                name = e;
        QVERIFY(name);
        const QString text = name->text();
        QTest::mouseClick(name, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), name);
        QVERIFY(test::Press(Qt::Key_A, Qt::ControlModifier));
        QVERIFY(test::Press(Qt::Key_C, Qt::ControlModifier));
        QCOMPARE(QApplication::clipboard()->text(), text);
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(name->text(), QString());
        QVERIFY(test::Press(Qt::Key_V, Qt::ControlModifier));
        QCOMPARE(name->text(), text);

        // Nothing of the file was deleted, cut or copied, and nobody was asked.
        QCOMPARE(o.file.Records().size(), records);
        QVERIFY(o.file.esRecArrayIndex().Exists(npc));
        QCOMPARE(clipboard.esRecArrayIndex().Count(), std::size_t(0));
        QVERIFY(o.s.prompt.calls.empty());

        // Back in the tree the same keys act on its selection.
        QTest::mouseClick(o.ed.Tree()->viewport(), Qt::LeftButton, {},
                          o.ed.Tree()->visualRect(o.ed.Tree()->currentIndex()).center());
        QCOMPARE(QApplication::focusWidget(), o.ed.Tree());
        QVERIFY(test::Press(Qt::Key_C, Qt::ControlModifier));
        const auto* copied = clipboard.esRecArrayCatIndex().Item("NPC_");
        QVERIFY(copied && copied->esRecArrayCatEntries.Count() == 1);
        QVERIFY(test::Press(Qt::Key_Delete));
        QVERIFY(!o.file.esRecArrayIndex().Exists(npc) || o.file.Rec(npc).ID != "PP_ordinator");
        QCOMPARE(o.file.Records().size(), records - 1);
    }

    void theSelectionMovesToTheNearestEntryThatRemains() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.EditFreely();
        QVERIFY(test::ShowActive(o.w));
        o.Go("GLOB", o.NthKey("GLOB", 10));
        auto row = [&](int n) { return RowId(o, "GLOB", n); };
        const QString tenth = row(10), eleventh = row(11), twelfth = row(12);
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            QString selected;
            const char* why;
        } steps[] = {
            {Qt::Key_C, Qt::ControlModifier, tenth, "a copy keeps the selection"},
            {Qt::Key_V, Qt::ControlModifier, tenth, "a paste that replaces the record keeps it"},
            {Qt::Key_Delete, Qt::NoModifier, eleventh, "a delete selects the record that followed"},
            {Qt::Key_X, Qt::ControlModifier, twelfth, "so does a cut"},
        };
        for (const auto& step : steps) {
            QVERIFY(test::Press(step.key, step.modifiers));
            QVERIFY2(Selected(o) == step.selected, qPrintable(Selected(o) + " " + step.why));
            QCOMPARE(QApplication::focusWidget(), o.ed.Tree());
        }
        // The last record: the one before it.
        const int last = o.model.rowCount(o.Cat("GLOB")) - 1;
        const QString beforeLast = row(last - 1);
        o.Go("GLOB", o.NthKey("GLOB", last));
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(Selected(o), beforeLast);
        // A subrecord: the one that takes its place, else the one before.
        const std::string first = o.NthKey("GLOB", 0);
        const QString firstId = RowId(o, "GLOB", 0);
        o.Go("GLOB", first, "FNAM");
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(Selected(o), firstId + " FLTV");
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(Selected(o), firstId + " NAME");
        // The only record of its category: the category.
        o.Go("SPEL", o.NthKey("SPEL", 0));
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(Selected(o), QString("SPEL"));
        QCOMPARE(o.ed.Tree()->currentIndex(), o.Cat("SPEL"));
    }
};

QTEST_MAIN(EditorKeysTest)
#include "EditorKeysTest.moc"
