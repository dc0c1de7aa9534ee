// The record tree: categories, lazy children, captions, check boxes, history (keys: EditorKeysTest).
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esCheckedEntries.h"
#include "model/ByteCast.h"
#include "model/esfile.h"
#include "model/FileStatistics.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/TextTableModel.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmStatistics.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <array>

#include <map>
#include <sstream>
#include <QTreeView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

namespace {

int CheckState(const QModelIndex& i) { return i.data(Qt::CheckStateRole).toInt(); }

} // namespace

class RecordTreeTest : public QObject {
    Q_OBJECT
private slots:
    void captionsAndLazyChildren() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        RecordTreeModel& m = f.model;
        QVERIFY(m.rowCount() >= 50);
        QCOMPARE(m.index(0, 0).data().toString(), QString("~File Header  (1)"));
        const QModelIndex gmst = f.Cat("GMST");
        QCOMPARE(gmst.data().toString(), QString("Game Settings  (10)"));
        QCOMPARE(gmst.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
        const QModelIndex npc = f.Cat("NPC_");
        QCOMPARE(npc.data().toString(), QString("Non Player Characters")); // empty: grey, no count
        QCOMPARE(npc.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xA0, 0xA0, 0xA0));
        QVERIFY(!m.hasChildren(npc));
        f.s.context.values.ViewRecordTypes = true;
        f.ed.RefreshCaptions();
        QCOMPARE(gmst.data().toString(), QString("GMST Game Settings  (10)"));

        // Records are built when their category is selected, subrecords only for the selected record.
        QVERIFY(m.hasChildren(gmst));
        QCOMPARE(m.rowCount(gmst), 0);
        f.Click(gmst);
        QCOMPARE(m.rowCount(gmst), 10);
        QCOMPARE(f.file.CurrentCatKey, std::string("GMST"));
        const QModelIndex first = m.index(0, 0, gmst);
        QVERIFY(first.data().toString().startsWith("GMST "));
        f.Click(first);
        QVERIFY(m.rowCount(first) > 0);
        const QModelIndex second = m.index(1, 0, gmst);
        f.Click(second);
        QCOMPARE(m.rowCount(first), 0);
        QVERIFY(m.rowCount(second) > 0);
        QCOMPARE(m.index(0, 0, second).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    }

    void checkBoxesFollowParentAndChildren() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        RecordTreeModel& m = f.model;
        const QModelIndex gmst = f.Cat("GMST");
        f.Click(gmst);
        const QModelIndex record = m.index(0, 0, gmst);
        f.Click(record);
        const int subs = m.rowCount(record);
        QVERIFY(subs >= 2);
        m.setData(record, Qt::Checked, Qt::CheckStateRole);
        for (int i = 0; i < subs; ++i)
            QCOMPARE(CheckState(m.index(i, 0, record)), int(Qt::Checked));
        const QModelIndex sub = m.index(1, 0, record);
        QCOMPARE(sub.data(RecordTreeModel::MarkedKeyRole).toString(),
                 record.data(RecordTreeModel::KeyRole).toString() + "." + sub.data(RecordTreeModel::KeyRole).toString());
        m.setData(sub, Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(CheckState(record), int(Qt::Unchecked)); // clearing one clears the parent
        QCOMPARE(CheckState(m.index(0, 0, record)), int(Qt::Checked));
        // A checked category marks its records, also those built later.
        const QModelIndex header = f.Cat("TES3");
        m.setData(header, Qt::Checked, Qt::CheckStateRole);
        f.Click(header);
        QCOMPARE(CheckState(m.index(0, 0, header)), int(Qt::Checked));
    }

    void markAllShowMarkedUnmark() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        f.w.Command("mnuEditMarkAll")->trigger();
        const esCheckedEntries& checked = f.s.context.files.CheckedEntries(f.path);
        QCOMPARE(checked.Count(), std::size_t(11)); // the header and ten game settings
        QCOMPARE(CheckState(f.Cat("GMST")), int(Qt::Checked));
        f.Click(f.Cat("GMST"));
        f.Click(f.model.index(0, 0, f.Cat("GMST")));
        f.w.Command("mnuEditEditMarked")->trigger();
        QCOMPARE(QString::fromStdString(f.ed.Entries().Item(1).Caption), QString("Marked Entries"));
        // Heading, actions, eleven records and the two subrecords of the record opened while ticked.
        QCOMPARE(f.ed.Entries().Count(), std::size_t(2 + 11 + 2));
        f.w.Command("mnuEditUnmark")->trigger();
        QCOMPARE(checked.Count(), std::size_t(0));
        QCOMPARE(CheckState(f.Cat("GMST")), int(Qt::Unchecked));
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
        QCOMPARE(odd.data().toString(), QString("@Unknown Type ZZZZ  (1)"));
        QCOMPARE(odd.row(), model->rowCount() - 1); // after the listed ones
        QVERIFY(!model->CategoryIndex("GMST").isValid());
        QVERIFY(model->CategoryIndex("GLOB").isValid());
    }

    void nodeBuildingReportsEvery31Records() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("antares_big_mod_1.2.esp"); // 51 global variables, 4 NPCs
        test::RecordingProgress progress;
        f.model.BuildRecords(f.Cat("NPC_"), &progress);
        QCOMPARE(progress.reports.size(), std::size_t(0));
        f.model.BuildRecords(f.Cat("GLOB"), &progress);
        QCOMPARE(progress.reports.size(), std::size_t(1));
        QVERIFY(progress.reports[0].second.starts_with("Building node GLOB"));

        // Expanded in the window, the status bar shows the file again once the nodes are built.
        const auto* status = f.w.findChild<QLabel*>("StatusText");
        QVERIFY(status);
        const QString shown = status->text();
        QVERIFY(shown.endsWith("antares_big_mod_1.2.esp"));
        f.ed.Tree()->expand(f.Cat("INFO"));
        QCOMPARE(f.model.rowCount(f.Cat("INFO")), 2411);
        QCOMPARE(status->text(), shown);
    }

    // Records added, changed and deleted since the load, as a reader of the saved bytes finds
    // them, are marked in the tree and counted by File > Statistics; a save keeps the marks,
    // undo takes them back.
    void changesSinceLoadingAreMarkedAndCounted() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.EditFreely();
        QVERIFY(test::ShowActive(o.w));
        const Bytes loaded = test::ReadBytes(o.path);
        const QModelIndex globals = o.Cat("GLOB");

        // A spell's cost typed into its field, a global deleted from the tree, an item inserted.
        o.Go("SPEL", o.KeyOf("SPEL", "PP_vivec"));
        QLineEdit* cost = nullptr;
        int n = 0;
        for (const auto& e : o.ed.Entries())
            if (++n && e.value.SubrecordType == "SPDT" && e.value.PropertyName == "Cost")
                cost = qobject_cast<QLineEdit*>(o.ed.Form()->EditorOf(n));
        QVERIFY(cost);
        cost->setFocus();
        cost->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "77");
        o.Go("GLOB", o.NthKey("GLOB", 10)); // commits the form
        const QString deletedId = QString::fromStdString(o.file.Rec(o.file.CurrentRecordKey).ID);
        o.ed.Tree()->setFocus();
        QVERIFY(test::Press(Qt::Key_Delete));
        test::OnNextModal([](QWidget* modal) {
            auto* chooser = qobject_cast<frmInsertRecord*>(modal);
            QVERIFY(chooser && chooser->Select("MISC"));
            chooser->accept();
        });
        o.w.Command("mnuInsertRecord")->trigger();
        const std::string inserted = o.file.CurrentRecordKey;
        QVERIFY(o.w.SaveFile(false));
        const test::RawChangeList raw = test::RawChanges(loaded, test::ReadBytes(o.path));

        // Every record row of the tree says what the bytes say.
        auto marks = [&] {
            test::RawChangeList shown;
            test::ChangeKeys keys;
            const char* const words[] = {"unchanged", "added", "changed"};
            for (int c = 0; c < o.model.rowCount(); ++c) {
                const QModelIndex cat = o.model.index(c, 0);
                o.model.BuildRecords(cat);
                for (int r = 0; r < o.model.rowCount(cat); ++r) {
                    const QModelIndex row = o.model.index(r, 0, cat);
                    const RecordEntry& e = o.file.Rec(o.model.KeyOf(row));
                    shown.records[keys.Next(e.Name, e.ID)] = words[row.data(RecordTreeModel::ChangeRole).toInt()];
                }
            }
            return shown.records;
        };
        QCOMPARE(marks(), raw.records);
        QCOMPARE(raw.deleted, (std::map<std::string, int>{{"GLOB", 1}}));
        const QModelIndex spell = o.model.RecordIndex(o.KeyOf("SPEL", "PP_vivec"));
        const QModelIndex item = o.model.RecordIndex(inserted);
        QCOMPARE(item.data(RecordTreeModel::ChangeRole).toInt(), int(RecordChange::Added));
        QCOMPARE(spell.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xC8, 0x64, 0x00));
        QCOMPARE(item.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0x1E, 0x8C, 0x28));
        const QModelIndex plain = o.model.index(0, 0, globals);
        QCOMPARE(plain.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
        auto icon = [](const QModelIndex& i) { return i.data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
        QVERIFY(icon(spell) != icon(plain) && icon(item) != icon(spell));
        // Bold: the categories holding a change (not the header, whose count the save put back).
        for (int c = 0; c < o.model.rowCount(); ++c) {
            const QModelIndex cat = o.model.index(c, 0);
            const std::string type = o.model.KeyOf(cat);
            bool changed = raw.deleted.count(type) > 0;
            for (const auto& [key, state] : raw.records)
                changed = changed || (key.starts_with(type + " ") && state != "unchanged");
            QVERIFY2(cat.data(Qt::FontRole).value<QFont>().bold() == changed, type.c_str());
        }
        QVERIFY(globals.data(Qt::ToolTipRole).toString().startsWith(
            "GLOB: 0 added, 0 changed, 1 deleted since the file was loaded"));
        QVERIFY(spell.data(Qt::ToolTipRole).toString().contains("Orange with a dot: changed"));
        test::Shoot(o.w, "changesMarked");

        // File > Statistics: per type the records and the changes, and the deleted global's ID.
        QStringList rows, gone;
        test::OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<frmStatistics*>(modal);
            QVERIFY(window);
            for (const auto& row : window->Types()->Rows())
                rows << row.cells.join(' ');
            for (int i = 0; i < window->Deleted()->count(); ++i)
                gone << window->Deleted()->item(i)->text();
            test::Shoot(*window, "frmStatisticsChanges");
            window->reject();
        });
        o.w.Command("mnuFileStatistics")->trigger();
        std::map<std::string, std::array<std::size_t, 4>> counts; // records, added, changed, deleted
        for (const auto& [key, state] : raw.records) {
            auto& c = counts[key.substr(0, 4)];
            ++c[0];
            c[1] += state == "added";
            c[2] += state == "changed";
        }
        for (const auto& [type, n] : raw.deleted)
            counts[type][3] = static_cast<std::size_t>(n);
        QStringList expected;
        std::array<std::size_t, 4> totals{};
        auto line = [](const QString& type, const std::array<std::size_t, 4>& c) {
            QStringList cells{type};
            for (std::size_t n : c)
                cells << QString::fromStdString(FileStatistics::Grouped(static_cast<long long>(n)));
            return cells.join(' ');
        };
        for (const auto& [type, c] : counts) {
            expected << line(QString::fromStdString(type), c);
            for (std::size_t k = 0; k < 4; ++k)
                totals[k] += c[k];
        }
        expected << line("Total", totals);
        std::sort(rows.begin(), rows.end() - 1); // by type, as the map holds them; the totals last
        QCOMPARE(rows, expected);
        QCOMPARE(gone, QStringList({"GLOB " + deletedId}));

        // Undone, step by step from the keyboard: no mark is left.
        QVERIFY(test::ShowActive(o.w));
        for (int step = 0; step < 3; ++step)
            QVERIFY(test::Press(Qt::Key_Z, Qt::ControlModifier));
        QCOMPARE(marks(), test::RawChanges(loaded, loaded).records);
        QVERIFY(!o.Cat("GLOB").data(Qt::FontRole).value<QFont>().bold());
    }

    // Exterior cells by name and grid, subrecords by what the template's descriptions say; read
    // here from the file's bytes and the template's text.
    void captionsOfCellsAndSubrecords() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("seis_dynamic_wildlife.esp");
        const Bytes bytes = test::ReadBytes(f.path);
        QStringList expected, shown;
        int exterior = 0;
        for (const test::RawRecord& r : test::RawRecords(bytes)) {
            if (r.type != "CELL")
                continue;
            std::string name;
            std::int32_t flags = 0, x = 0, y = 0;
            bool named = false;
            const Bytes record(r.whole.begin(), r.whole.end()); // the subrecords' spans point into it
            for (const test::RawSubrecord& s : test::RawSubrecords(record)) {
                if (s.type == "NAME" && !named) {
                    name.assign(s.data.begin(), s.data.end());
                    name = name.substr(0, name.find('\0'));
                    named = true;
                } else if (s.type == "DATA" && s.data.size() == 12) {
                    flags = cast::ToInt32(s.data.first(4));
                    x = cast::ToInt32(s.data.subspan(4, 4));
                    y = cast::ToInt32(s.data.subspan(8, 4));
                }
            }
            QString caption = QString::fromStdString(name);
            if (!(flags & 1)) {
                ++exterior;
                caption = QString("%1 (%2, %3)").arg(name.empty() ? "Wilderness" : caption).arg(x).arg(y);
            }
            expected << "CELL " + (caption.size() > 35 ? caption.left(32) + "..." : caption);
        }
        QVERIFY(exterior > 10);
        f.Click(f.Cat("CELL"));
        for (int i = 0; i < f.model.rowCount(f.Cat("CELL")); ++i)
            shown << f.model.index(i, 0, f.Cat("CELL")).data().toString();
        expected.sort();
        shown.sort();
        QCOMPARE(shown, expected);

        // [@DESCRIPTION] as the text of the shipped template gives it.
        std::map<std::string, std::string> described;
        bool inGroup = false;
        std::istringstream lines(test::ShippedTemplateText());
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line[0] == '[')
                inGroup = line == "[@DESCRIPTION]";
            else if (inGroup && line.find(" = ") != std::string::npos)
                described[line.substr(0, line.find(" = "))] = line.substr(line.find(" = ") + 3);
        }
        f.Click(f.Cat("NPC_"));
        const QModelIndex npc = f.model.index(0, 0, f.Cat("NPC_"));
        f.Click(npc);
        const RecordEntry& record = f.file.Rec(f.model.KeyOf(npc));
        const auto at = bytes.begin() + record.Offset - 1;
        const Bytes npcBytes(at, at + 16 + record.Size);
        const auto subs = test::RawSubrecords(npcBytes);
        QVERIFY(subs.size() > 5);
        QCOMPARE(f.model.rowCount(npc), int(subs.size()));
        for (int i = 0; i < f.model.rowCount(npc); ++i) {
            const std::string group = "NPC_." + subs[i].type;
            QVERIFY2(described.count(group), group.c_str());
            QCOMPARE(f.model.index(i, 0, npc).data().toString(),
                     QString::fromStdString(subs[i].type.substr(0, 4) + " (" + described[group] + ")"));
        }
    }

    void backForwardAndUpLevel() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        const QModelIndex gmst = f.Cat("GMST");
        f.Click(gmst);
        f.Click(f.model.index(0, 0, gmst));
        f.Click(f.model.index(2, 0, gmst));
        QVERIFY(f.w.Command("Back")->isEnabled());
        QVERIFY(!f.w.Command("Forward")->isEnabled());
        f.w.Command("Back")->trigger();
        QCOMPARE(f.file.CurrentRecordKey, f.model.KeyOf(f.model.index(0, 0, gmst)));
        QVERIFY(f.w.Command("Forward")->isEnabled());
        f.w.Command("Forward")->trigger();
        QCOMPARE(f.file.CurrentRecordKey, f.model.KeyOf(f.model.index(2, 0, gmst)));
        f.w.Command("UpLevel")->trigger();
        QCOMPARE(f.ed.Tree()->currentIndex(), gmst);
    }
};

QTEST_MAIN(RecordTreeTest)
#include "RecordTreeTest.moc"
