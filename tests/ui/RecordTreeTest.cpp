// The record tree: categories, lazy children, captions, check boxes, history (keys: EditorKeysTest).
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esCheckedEntries.h"
#include "model/ByteCast.h"
#include "model/esfile.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QColor>

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
