// Tools > Conflicts and Tools > Clean Plug-in, from files opened in the editor through the
// menu commands to the windows, driven with the keyboard and mouse as a user would.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/ComparisonModel.h"
#include "ui/TextTableModel.h"
#include "ui/frmClean.h"
#include "ui/frmConflicts.h"
#include "ui/frmLoadOrder.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <cstring>

#include <cstdlib>
#include <fstream>

using namespace vellum;
using namespace vellum::ui;
using test::Concat;
using test::HeaderRecord;
using test::RecordBytes;
using test::Text;

namespace {

Bytes Setting(const std::string& id, const std::string& text) {
    return RecordBytes("GMST", {{"NAME", Text(id, false)}, {"STRV", Text(text, false)}});
}

Bytes Global(const std::string& id, float value) {
    Bytes v(4);
    std::memcpy(v.data(), &value, 4);
    return RecordBytes("GLOB", {{"NAME", Text(id)}, {"FNAM", Text("f", false)}, {"FLTV", v}});
}

// An interior cell holding references to objects, each with its number.
Bytes Cell(const std::vector<std::pair<std::string, std::int32_t>>& references) {
    std::vector<test::Sub> subs{{"NAME", Text("Vellum Hall")}, {"DATA", Concat({test::Int32(1), Bytes(8, 0)})}};
    for (const auto& [object, number] : references) {
        subs.push_back({"FRMR", test::Int32(number)});
        subs.push_back({"NAME", Text(object)});
        subs.push_back({"DATA", Bytes(24, 0)});
    }
    return RecordBytes("CELL", subs);
}

// The STRV text of the plug-in's game setting, read from its bytes.
std::string Value(const esfile& f, const std::string& id) {
    for (const RecordEntry& r : f.Records()) {
        if (r.Name != "GMST" || r.ID != id) continue;
        const std::string data(r.Data.data(), r.Data.data() + r.Data.size());
        const std::size_t at = data.find("STRV");
        return at == std::string::npos ? std::string() : data.substr(at + 8);
    }
    return "(none)";
}

// A master and a plug-in of it, both opened in the editor; the plug-in is shown.
struct MasterAndPlugin {
    MasterAndPlugin(const std::vector<Bytes>& master, const std::vector<Bytes>& plugin) {
        const auto m = s.DataFolder() / "m.esm", p = s.DataFolder() / "p.esp";
        std::vector<Bytes> mr{HeaderRecord(static_cast<std::int32_t>(master.size()), 1)}; // stored 1: a master
        mr.insert(mr.end(), master.begin(), master.end());
        std::vector<Bytes> pr{HeaderRecord(static_cast<std::int32_t>(plugin.size()), 0, {{"m.esm", 1}})};
        pr.insert(pr.end(), plugin.begin(), plugin.end());
        test::WriteBytes(m, Concat(mr));
        test::WriteBytes(p, Concat(pr));
        s.Window().OpenFiles({QString::fromStdString(m.string()), QString::fromStdString(p.string())});
        s.Window().ClickFileButton(QString::fromStdString(p.string()));
        plugin_ = s.context.files.Find(p.string());
    }
    test::EditorSession s;
    esfile* plugin_ = nullptr;
};

void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

} // namespace

class ToolboxWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void conflictsListFilterCompareAndCopyAVersionIn() {
        MasterAndPlugin f({Setting("sOne", "a"), Setting("sTwo", "b"), Global("gX", 1.0f)},
                          {Setting("sOne", "a"), Setting("sTwo", "c"), Global("gX", 2.0f), Setting("sNew", "n")});
        f.s.Window().Command("mnuToolsConflicts")->trigger();
        auto* window = f.s.Window().findChild<frmConflicts*>();
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTableView* list = window->List();
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(list->model()->index(0, 4).data().toString(), QString("identical"));
        QCOMPARE(list->model()->index(1, 2).data().toString(), QString("m.esm, p.esp"));
        QCOMPARE(list->model()->index(1, 3).data().toString(), QString("p.esp"));
        QCOMPARE(list->model()->index(2, 4).data().toString(), QString("differs FLTV"));

        // Keys go to whatever has the focus: the check box, then the filter.
        window->DiffersOnly()->setFocus();
        Key(Qt::Key_Space);
        QCOMPARE(list->model()->rowCount(), 2);
        window->Filter()->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "stw");
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->model()->index(0, 1).data().toString(), QString("sTwo"));

        list->setFocus();
        Key(Qt::Key_Down);
        QVERIFY(window->ComparisonRows()->Comparison());
        QTableView* grid = window->Comparison();
        int valueRow = -1;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (grid->model()->index(r, 1).data().toString() == "Value") valueRow = r;
        QVERIFY(valueRow >= 0);
        const QModelIndex master = grid->model()->index(valueRow, ComparisonModel::kFirstVersion);
        QCOMPARE(master.data().toString(), QString("b"));
        QCOMPARE(grid->model()->index(valueRow, ComparisonModel::kFirstVersion + 1).data().toString(), QString("c"));
        QVERIFY(master.data(Qt::BackgroundRole).isValid()); // the versions differ: highlighted
        QVERIFY(!grid->model()->index(0, ComparisonModel::kFirstVersion).data(Qt::BackgroundRole).isValid()); // NAME
        test::Shoot(*window, "frmConflicts");

        // The master's value into the plug-in, by mouse.
        grid->setCurrentIndex(master);
        QCOMPARE(window->Target()->currentText(), QString("p.esp"));
        QTest::mouseClick(window->findChild<QPushButton*>("Copy"), Qt::LeftButton);
        QCOMPARE(Value(*f.plugin_, "sTwo"), std::string("b"));
        QVERIFY(f.plugin_->Changed);
        QCOMPARE(list->model()->rowCount(), 0); // sTwo no longer differs
        window->DiffersOnly()->setChecked(false);
        window->Filter()->clear();
        QCOMPARE(list->model()->index(1, 4).data().toString(), QString("identical"));
        window->close();
    }

    void openLoadOrderOpensTheMastersForSupportAndThePickedPluginForEditing() {
        test::EditorSession s;
        test::TempDir home;
        const auto data = home / "data";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(home / "config" / "openmw");
        test::WriteBytes(data / "M.ESM", Concat({HeaderRecord(1, 1), Setting("sOne", "a")}));
        test::WriteBytes(data / "p.esp", Concat({HeaderRecord(1, 0, {{"m.esm", 1}}), Setting("sOne", "b")}));
        test::WriteBytes(data / "q.esp", Concat({HeaderRecord(1, 0, {{"m.esm", 1}}), Setting("sOne", "c")}));
        std::ofstream(home / "config" / "openmw" / "openmw.cfg")
            << "data=\"" << data.string() << "\"\ncontent=m.esm\ncontent=p.esp\ncontent=q.esp\ncontent=gone.esp\n";
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        bool shown = false;
        test::OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmLoadOrder*>(modal);
            QVERIFY(dialog);
            shown = true;
            QListWidget* list = dialog->List();
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->item(3)->text(), QString("gone.esp (not found)"));
            QVERIFY(!(list->item(3)->flags() & Qt::ItemIsEnabled));
            QCOMPARE(list->currentRow(), 2); // the last plug-in found
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            test::Shoot(*dialog, "frmLoadOrder");
            list->setFocus();
            Key(Qt::Key_Up);
            Key(Qt::Key_Return);
        });
        s.Window().Command("mnuFileOpenLoadOrder")->trigger();
        ::unsetenv("XDG_CONFIG_HOME");
        QVERIFY(shown);
        std::vector<std::string> open;
        for (const auto& e : s.context.files)
            if (!e.value->Clipboard)
                open.push_back(std::filesystem::path(e.key).filename().string() + (e.value->IsSupport ? " support" : ""));
        QCOMPARE(open, (std::vector<std::string>{"M.ESM support", "p.esp", "q.esp support"}));
        QCOMPARE(s.Window().CurrentKey(), QString::fromStdString((data / "p.esp").string()));
        QVERIFY(s.prompt.Saw("These files of the load order are in none of its data folders and were not opened: gone.esp"));
    }

    // The removal is one step that undo takes back to the very bytes of the plug-in.
    void cleaningListsFirstRemovesOnlyWhatStaysTickedAndUndoes() {
        // The plug-in's cell repeats the master's first reference (numbered by its master list)
        // and adds one of its own.
        MasterAndPlugin f({Setting("sOne", "a"), Setting("sTwo", "b"), Cell({{"crate", 1}, {"barrel", 2}})},
                          {Setting("sOne", "a"), Setting("sMaxSale", "Max Sale"), Setting("sTwo", "other"),
                           Setting("sWerewolfPopup", "Werewolf"),
                           Cell({{"crate", 0x01000001}, {"chest", 1}})});
        const std::string path = f.plugin_->FileName;
        const Bytes original = test::ReadBytes(path);
        bool shown = false;
        test::OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<frmClean*>(modal);
            QVERIFY(window);
            shown = true;
            TextTableModel* rows = window->List();
            QCOMPARE(rows->rowCount(), 4);
            QCOMPARE(rows->index(3, 1).data().toString(), QString("1 references identical to m.esm"));
            QCOMPARE(rows->index(0, 0).data().toString(), QString("GMST sOne"));
            QCOMPARE(rows->index(0, 1).data().toString(), QString("identical to m.esm"));
            QCOMPARE(rows->index(1, 1).data().toString(), QString("dirty game setting"));
            test::Shoot(*window, "frmClean");
            QVERIFY(QTest::qWaitForWindowActive(window));
            // Untick the second entry with the keyboard.
            window->Grid()->setFocus();
            window->Grid()->setCurrentIndex(rows->index(1, 0));
            Key(Qt::Key_Space);
            QVERIFY(!rows->At(1).checked);
            QTest::mouseClick(window->RemoveButton(), Qt::LeftButton);
        });
        f.s.Window().Command("mnuToolsCleanPlugin")->trigger();
        QVERIFY(shown);
        QVERIFY(f.s.prompt.Saw("removed 2 of 5 records"));
        std::vector<std::string> left;
        for (const RecordEntry& r : f.plugin_->Records()) left.push_back(r.Name + " " + r.ID);
        QCOMPARE(left, (std::vector<std::string>{"TES3 ", "GMST sMaxSale", "GMST sTwo", "CELL Vellum Hall"}));
        QVERIFY(f.plugin_->Changed);

        auto* edit = f.s.Window().findChild<QMenu*>("mnuEdit");
        auto* undo = f.s.Window().findChild<QAction*>("mnuEditUndo");
        QVERIFY(edit && undo);
        emit edit->aboutToShow();
        QCOMPARE(undo->text(), QString("&Undo Clean 3 Records"));
        emit edit->aboutToHide();
        f.s.Window().show();
        f.s.Window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.s.Window()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f.s.Window(), Qt::Key_Z,
                        Qt::ControlModifier);
        QVERIFY(!f.plugin_->Changed);
        QVERIFY(f.s.Window().SaveFile(false));
        QCOMPARE(test::ReadBytes(path), original);
    }
};

QTEST_MAIN(ToolboxWindowsTest)
#include "ToolboxWindowsTest.moc"
