// The record tree: categories, lazy children, captions, check boxes, history, the changes since
// loading; the filter over it; the editor from the keyboard. Keys go to whatever widget has the
// focus, as a user's would; counts are checked against the file's bytes read without the
// template, and commands against the saved file's bytes.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esCheckedEntries.h"
#include "index/esFiles.h"
#include "model/ByteCast.h"
#include "model/FileStatistics.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/NumberField.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/TextTableModel.h"
#include "ui/fhByteControl.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmStatistics.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <array>
#include <regex>
#include <set>

using namespace vellum;
using namespace vellum::ui;

namespace {

int CheckState(const QModelIndex& i) { return i.data(Qt::CheckStateRole).toInt(); }
QColor Color(const QModelIndex& i, int role = Qt::ForegroundRole) { return i.data(role).value<QBrush>().color(); }
QString Caption(test::OpenedPlugin& o, const char* type) { return o.Cat(type).data().toString(); }

using test::Lower;

// Types whose listed ID is not the first text of their bytes.
const std::set<std::string> kOtherIds{"TES3", "CELL", "LAND", "PGRD", "SKIL", "MGEF", "SSCR"};

// Per type, the records whose ID or name holds `text` (or matches /it/), in any case.
std::map<std::string, int> KeptByBytes(const std::string& path, const std::string& text) {
    const bool expression = text.size() > 2 && text.front() == '/' && text.back() == '/';
    const std::regex pattern(expression ? text.substr(1, text.size() - 2) : "x", std::regex::ECMAScript | std::regex::icase);
    const auto holds = [&](const std::string& s) {
        return expression ? std::regex_search(s, pattern) : Lower(s).find(Lower(text)) != std::string::npos;
    };
    std::map<std::string, int> kept;
    const Bytes bytes = test::ReadBytes(path);
    for (const test::RawRecord& r : test::RawRecords(bytes))
        if (!kOtherIds.count(r.type))
            kept[r.type] += holds(test::RawID(r)) || holds(test::RawName(r)) ? 1 : 0;
    return kept;
}

// Type and ID of the selected record, and the selected subrecord's key after a blank.
QString Selected(test::OpenedPlugin& o) {
    const esfile& f = o.file;
    if (f.CurrentRecordKey.empty())
        return QString::fromStdString(f.CurrentCatKey);
    const RecordEntry& r = f.Rec(f.CurrentRecordKey);
    const std::string sub = f.CurrentSubRecordKey.empty() ? "" : " " + f.CurrentSubRecordKey;
    return QString::fromStdString(r.Name + ":" + r.ID + sub);
}

QString RowId(test::OpenedPlugin& o, const char* type, int row) {
    return QString::fromStdString(std::string(type) + ":" + o.file.Rec(o.model.KeyOf(o.model.index(row, 0, o.Cat(type)))).ID);
}

void ClickCurrent(QTreeView* tree) {
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->currentIndex()).center());
}

} // namespace

class RecordTreeTest : public QObject {
    Q_OBJECT
private slots:
    void captionsLazyChildrenAndHistory() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        RecordTreeModel& m = f.model;
        QVERIFY(m.rowCount() >= 50);
        QCOMPARE(m.index(0, 0).data().toString(), QString("~File Header  (1)"));
        const QModelIndex gmst = f.Cat("GMST"), npc = f.Cat("NPC_");
        QCOMPARE(gmst.data().toString(), QString("Game Settings  (10)"));
        QCOMPARE(Color(gmst), QColor(Qt::black));
        QCOMPARE(npc.data().toString(), QString("Non Player Characters")); // empty: grey, no count
        QCOMPARE(Color(npc), QColor(0xA0, 0xA0, 0xA0));
        QVERIFY(!m.hasChildren(npc));

        // Records are built when their category is selected, subrecords only for the selected record.
        QVERIFY(m.hasChildren(gmst));
        QCOMPARE(m.rowCount(gmst), 0);
        f.Click(gmst);
        QCOMPARE(m.rowCount(gmst), 10);
        QCOMPARE(f.file.CurrentCatKey, std::string("GMST"));
        const QModelIndex first = m.index(0, 0, gmst), second = m.index(1, 0, gmst), third = m.index(2, 0, gmst);
        QVERIFY(first.data().toString().startsWith("GMST "));
        f.Click(first);
        QVERIFY(m.rowCount(first) > 0);
        f.Click(second);
        QCOMPARE(m.rowCount(first), 0);
        QVERIFY(m.rowCount(second) > 0);
        QCOMPARE(Color(m.index(0, 0, second), Qt::BackgroundRole), QColor(Qt::white));

        // Back, Forward and Up Level walk the selections.
        f.Click(third);
        QVERIFY(f.w.Command("Back")->isEnabled() && !f.w.Command("Forward")->isEnabled());
        f.w.Command("Back")->trigger();
        QCOMPARE(f.file.CurrentRecordKey, m.KeyOf(second));
        QVERIFY(f.w.Command("Forward")->isEnabled());
        f.w.Command("Forward")->trigger();
        QCOMPARE(f.file.CurrentRecordKey, m.KeyOf(third));
        f.w.Command("UpLevel")->trigger();
        QCOMPARE(f.ed.Tree()->currentIndex(), gmst);
    }

    void marksAndCheckBoxesFollowParentAndChildren() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin f("blank.esm");
        RecordTreeModel& m = f.model;
        const QModelIndex gmst = f.Cat("GMST");
        f.w.Command("mnuEditMarkAll")->trigger();
        const esCheckedEntries& checked = f.s.context.files.CheckedEntries(f.path);
        QCOMPARE(checked.Count(), std::size_t(11)); // the header and ten game settings
        QCOMPARE(CheckState(gmst), int(Qt::Checked));
        f.Click(gmst);
        f.Click(m.index(0, 0, gmst));
        f.w.Command("mnuEditEditMarked")->trigger();
        QCOMPARE(QString::fromStdString(f.ed.Entries().Item(1).Caption), QString("Marked Entries"));
        // Heading, actions, eleven records and the two subrecords of the record opened while ticked.
        QCOMPARE(f.ed.Entries().Count(), std::size_t(2 + 11 + 2));
        f.w.Command("mnuEditUnmark")->trigger();
        QCOMPARE(checked.Count(), std::size_t(0));
        QCOMPARE(CheckState(gmst), int(Qt::Unchecked));

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
        auto* cost = qobject_cast<QLineEdit*>(o.ed.Form()->EditorOf(
            o.Entry([](const esLLFormEntry& e) { return e.SubrecordType == "SPDT" && e.PropertyName == "Cost"; })));
        QVERIFY(cost);
        cost->setFocus();
        cost->selectAll();
        QVERIFY(test::TypeText("77"));
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
        const Bytes saved = test::ReadBytes(o.path);
        const test::RawChangeList raw = test::RawChanges(loaded, saved);

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
        const QModelIndex item = o.model.RecordIndex(inserted), plain = o.model.index(0, 0, globals);
        QCOMPARE(item.data(RecordTreeModel::ChangeRole).toInt(), int(RecordChange::Added));
        QCOMPARE(Color(spell), QColor(0xC8, 0x64, 0x00));
        QCOMPARE(Color(item), QColor(0x1E, 0x8C, 0x28));
        QCOMPARE(Color(plain), QColor(Qt::black));
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
        QStringList rows, gone, masters, mast;
        for (const test::RawSubrecord& sub : test::RawSubrecords(test::RawRecords(saved).at(0)))
            if (sub.name == "MAST") mast << QString::fromLatin1(std::string(sub.data.begin(), sub.data.end()).c_str());
        test::OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<frmStatistics*>(modal);
            QVERIFY(window);
            QCOMPARE(window->Field("Title"), QString("antares_big_mod_1.2.esp"));
            for (const auto& row : window->Types()->Rows()) rows << row.cells.join(' ');
            for (int i = 0; i < window->Deleted()->count(); ++i) gone << window->Deleted()->item(i)->text();
            for (int i = 0; i < window->Masters()->count(); ++i) masters << window->Masters()->item(i)->text();
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
        for (const auto& [type, n] : raw.deleted) counts[type][3] = static_cast<std::size_t>(n);
        QStringList expected;
        std::array<std::size_t, 4> totals{};
        auto line = [](const QString& type, const std::array<std::size_t, 4>& c) {
            QStringList cells{type};
            for (std::size_t n : c) cells << QString::fromStdString(FileStatistics::Grouped(static_cast<long long>(n)));
            return cells.join(' ');
        };
        for (const auto& [type, c] : counts) {
            expected << line(QString::fromStdString(type), c);
            for (std::size_t k = 0; k < 4; ++k) totals[k] += c[k];
        }
        expected << line("Total", totals);
        std::sort(rows.begin(), rows.end() - 1); // by type, as the map holds them; the totals last
        QCOMPARE(rows, expected);
        QCOMPARE(gone, QStringList({"GLOB " + deletedId}));
        QVERIFY(!mast.isEmpty());
        QCOMPARE(masters, mast);

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
            for (const test::RawSubrecord& s : test::RawSubrecords(r)) {
                if (s.name == "NAME" && s.first)
                    name = std::string(s.data.begin(), s.data.end()).c_str();
                else if (s.name == "DATA" && s.data.size() == 12)
                    flags = cast::ToInt32(s.data.first(4)), x = cast::ToInt32(s.data.subspan(4, 4)),
                    y = cast::ToInt32(s.data.subspan(8, 4));
            }
            QString caption = QString::fromStdString(name);
            if (!(flags & 1) && ++exterior)
                caption = QString("%1 (%2, %3)").arg(name.empty() ? "Wilderness" : caption).arg(x).arg(y);
            expected << "CELL " + (caption.size() > 35 ? caption.left(32) + "..." : caption);
        }
        QVERIFY(exterior > 10);
        f.Click(f.Cat("CELL"));
        for (int i = 0; i < f.model.rowCount(f.Cat("CELL")); ++i)
            shown << f.model.index(i, 0, f.Cat("CELL")).data().toString();
        expected.sort();
        shown.sort();
        QCOMPARE(shown, expected);

        f.Click(f.Cat("NPC_"));
        const QModelIndex npc = f.model.index(0, 0, f.Cat("NPC_"));
        f.Click(npc);
        const RecordEntry& record = f.file.Rec(f.model.KeyOf(npc));
        std::vector<test::RawSubrecord> subs;
        for (const test::RawRecord& r : test::RawRecords(bytes))
            if (r.whole.data() == bytes.data() + record.Offset - 1)
                subs = test::RawSubrecords(r);
        QVERIFY(subs.size() > 5);
        QCOMPARE(f.model.rowCount(npc), int(subs.size()));
        for (int i = 0; i < f.model.rowCount(npc); ++i) {
            const std::string* described = test::ShippedTemplate().Name("@DESCRIPTION", "NPC_." + subs[i].type);
            QVERIFY2(described, subs[i].type.c_str());
            QCOMPARE(f.model.index(i, 0, npc).data().toString(),
                     QString::fromStdString(subs[i].type.substr(0, 4) + " (" + *described + ")"));
        }
    }

    void filterCountsAsTheBytesHaveThem_data() {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("text");
        QTest::newRow("names and responses") << "friends_and_rivals.esp" << "GUARD";
        QTest::newRow("item names") << "gr_keys.esp" << "Key";
        QTest::newRow("expression") << "antares_big_mod_1.2.esp" << "/^mt[ps]_.*script$/";
        QTest::newRow("expression over names") << "mqe_mainquestenhancers.esp" << "/^(fearful|dead) /";
    }
    void filterCountsAsTheBytesHaveThem() {
        VELLUM_QREQUIRE_SHARED();
        QFETCH(QString, plugin);
        QFETCH(QString, text);
        test::OpenedPlugin o(plugin.toStdString());
        QVERIFY(test::ShowActive(o.w));
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QCOMPARE(QApplication::focusWidget(), o.ed.FilterField());
        QVERIFY(test::TypeText(text));
        const auto kept = KeptByBytes(o.path, text.toStdString());
        QTRY_VERIFY(o.model.Filtered());
        int shown = 0, all = 0;
        for (const auto& [type, n] : kept) {
            const QModelIndex category = o.Cat(type.c_str());
            QVERIFY2(category.isValid(), type.c_str());
            const int total = static_cast<int>(o.file.esRecArrayCatIndex().Item(type)->esRecArrayCatEntries.Count());
            QVERIFY2(Caption(o, type.c_str()).endsWith(QStringLiteral("  (%1 of %2)").arg(n).arg(total)),
                     qPrintable(Caption(o, type.c_str()) + " expected " + QString::number(n)));
            o.model.BuildRecords(category); // a built category shows the same rows
            QCOMPARE(o.model.rowCount(category), n);
            shown += n;
            all += total;
        }
        QVERIFY2(shown > 0 && shown < all, "the text keeps some records and hides others");
    }

    // The selection: where it goes when the filter hides it, and that it is kept when the
    // filter is cleared; the keys between the field and the tree; an invalid expression.
    void theSelectionIsKeptAcrossTheFilter() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        QTreeView* tree = o.ed.Tree();
        const std::string chosen = o.KeyOf("SCPT", "AP_canteach_Script");
        o.Go("SCPT", chosen);
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QVERIFY(test::TypeText("mts_"));
        // Hidden: the selection is its category, the focus stays in the field.
        QTRY_COMPARE(Caption(o, "SCPT"), QString("Scripts  (5 of 62)"));
        QCOMPARE(tree->currentIndex(), o.Cat("SCPT"));
        QCOMPARE(o.file.CurrentRecordKey, std::string());
        QCOMPARE(QApplication::focusWidget(), o.ed.FilterField());
        // Esc at once: the record chosen before comes back.
        QVERIFY(test::Press(Qt::Key_Escape));
        QCOMPARE(o.file.CurrentRecordKey, chosen);
        QCOMPARE(o.model.rowCount(o.Cat("SCPT")), 62);

        // Down goes to the first record shown; one chosen under the filter stays chosen after it.
        QVERIFY(test::TypeText("mts_"));
        QTRY_VERIFY(o.model.Filtered());
        QVERIFY(test::Press(Qt::Key_Down));
        QCOMPARE(QApplication::focusWidget(), tree);
        QCOMPARE(o.file.Rec(o.file.CurrentRecordKey).ID, std::string("MTS_assassin2_Script"));
        QVERIFY(test::Press(Qt::Key_Down) && test::Press(Qt::Key_Right)); // opens it
        const std::string picked = o.file.CurrentRecordKey;
        QCOMPARE(o.file.Rec(picked).ID, std::string("MTS_assassin_Script"));
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QCOMPARE(o.ed.FilterField()->selectedText(), QString("mts_"));
        QVERIFY(test::Press(Qt::Key_Escape));
        QCOMPARE(o.ed.FilterField()->text(), QString());
        QCOMPARE(o.file.CurrentRecordKey, picked);
        QCOMPARE(o.model.KeyOf(tree->currentIndex()), picked);
        QVERIFY(tree->currentIndex().row() > 5);
        QVERIFY(tree->visualRect(tree->currentIndex()).intersects(tree->viewport()->rect()));
        QVERIFY(o.model.rowCount(tree->currentIndex()) > 0); // still open

        // Going back to a record the filter hides clears the filter to show it.
        QVERIFY(test::TypeText("zzz_none"));
        QTRY_COMPARE(o.model.ShownRecords(), std::size_t(0));
        o.w.Command("Back")->trigger();
        QCOMPARE(o.ed.FilterField()->text(), QString());
        QVERIFY(!o.model.Filtered());
        QVERIFY(!o.file.CurrentRecordKey.empty());

        // An invalid expression says so and filters nothing.
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QVERIFY(test::TypeText("/mtp(/"));
        QLineEdit* field = o.ed.FilterField();
        QTRY_VERIFY(field->toolTip().startsWith("Invalid expression"));
        QVERIFY(field->styleSheet().contains("border"));
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (62)"));
        QVERIFY(o.w.findChild<QLabel*>("lblFilterState")->text().startsWith("Invalid expression"));
        QVERIFY(test::Press(Qt::Key_Backspace) && test::Press(Qt::Key_Backspace) && test::TypeText("/"));
        QTRY_VERIFY(field->styleSheet().isEmpty());
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (5 of 62)"));
    }

    // Changed and ticked only; and a command under a filter acts on the ticked records, hidden or
    // not, else on the records its category shows, no other: the saved bytes tell.
    void ticksAndCommandsUnderTheFilter() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.EditFreely();
        o.s.context.values.ConfirmDelete = true;
        QVERIFY(test::ShowActive(o.w));
        // Changed: a value typed into the form makes its record one, and it stays selected.
        const std::string edited = o.KeyOf("GLOB", "AS_global_day");
        o.Go("GLOB", edited, "FLTV");
        NumberField* value = o.ed.Form()->findChild<NumberField*>();
        QVERIFY(value);
        QTest::mouseClick(value, Qt::LeftButton);
        QVERIFY(test::Press(Qt::Key_A, Qt::ControlModifier) && test::TypeText("7.5"));
        auto* changedOnly = o.w.findChild<QToolButton*>("btnFilterChanged");
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QCOMPARE(Caption(o, "GLOB"), QString("Global Variables  (1 of 51)"));
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (0 of 62)"));
        QCOMPARE(o.file.CurrentRecordKey, edited);
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        ClickCurrent(o.ed.Tree());

        for (const char* id : {"MTP_global", "AG_global_var"})
            QVERIFY(o.model.setData(o.model.RecordIndex(o.KeyOf("GLOB", id)), Qt::Checked, Qt::CheckStateRole));
        auto* tickedOnly = o.w.findChild<QToolButton*>("btnFilterTicked");
        QTest::mouseClick(tickedOnly, Qt::LeftButton);
        QCOMPARE(Caption(o, "GLOB"), QString("Global Variables  (2 of 51)"));
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (0 of 62)"));
        QTest::mouseClick(tickedOnly, Qt::LeftButton);

        const auto globals = [&](const std::string& part) {
            int n = 0;
            const auto bytes = test::ReadBytes(o.path);
            for (const test::RawRecord& r : test::RawRecords(bytes))
                n += r.type == "GLOB" && Lower(test::RawID(r)).find(part) != std::string::npos ? 1 : 0;
            return n;
        };
        const int mts = globals("mts_"), all = globals("");
        QVERIFY(mts > 0);
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier) && test::TypeText("mts_"));
        QTRY_VERIFY(o.model.Filtered());
        QVERIFY(o.w.findChild<QLabel*>("lblFilterState")->text().contains("2 ticked hidden"));
        o.ed.GotoRecord("GLOB", {}, o.path, {}, false);
        QCOMPARE(QApplication::focusWidget(), o.ed.Tree());
        QVERIFY(test::Press(Qt::Key_Delete)); // the two ticked ones
        QVERIFY(o.s.prompt.Saw("Are you sure you want to delete the marked entries?"));
        QVERIFY(test::Press(Qt::Key_Delete)); // the category: the records it shows
        QVERIFY(o.s.prompt.Saw("Are you sure you want to delete the " + std::to_string(mts) +
                               " records of the category that the filter shows?"));
        QCOMPARE(o.s.context.files.CheckedEntries(o.path).Count(), std::size_t(0));
        o.w.Command("mnuFileSave")->trigger();
        QCOMPARE(globals("mts_"), 0);
        QCOMPARE(globals("mtp_global"), globals("mtp_global_")); // MTP_global itself went
        QCOMPARE(globals("ag_global_var"), 0);
        QCOMPARE(globals(""), all - mts - 2);
    }

    // The tree keeps the focus through selections and busy spells.
    void theTreeKeepsTheFocusThroughSelections() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        QTreeView* tree = o.ed.Tree();
        QCOMPARE(QApplication::focusWidget(), tree); // a file just shown: its tree takes the keys
        // Down the categories to the scripts, each one selected on the way.
        QVERIFY(test::Press(Qt::Key_Down) && test::Press(Qt::Key_Up));
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
        const QModelIndex fortieth = o.model.index(40, 0, scripts);
        const struct {
            int key;
            QModelIndex at;
            bool expanded;
            const char* why;
        } steps[] = {
            {Qt::Key_Right, fortieth, true, "a record opens"},
            {Qt::Key_Right, o.model.index(0, 0, fortieth), true, "its first subrecord"},
            {Qt::Key_Left, fortieth, true, "a subrecord: its record"},
            {Qt::Key_Left, fortieth, true, "an open record closes"},
            {Qt::Key_Left, scripts, true, "a closed record: its category"},
            {Qt::Key_Left, scripts, false, "an expanded category collapses"},
            {Qt::Key_Up, scripts.sibling(scripts.row() - 1, 0), false, "the category before"},
            {Qt::Key_Down, scripts, false, "the next one"},
        };
        for (const auto& step : steps) {
            QVERIFY(test::Press(step.key));
            QVERIFY2(tree->currentIndex() == step.at && tree->isExpanded(scripts) == step.expanded, step.why);
        }

        // Busy: the keys and the menus are off, the focus stays, and Cancel still takes a click.
        {
            BusyGuard busy;
            QVERIFY(!o.w.menuBar()->isEnabled());
            QVERIFY(test::Press(Qt::Key_Down));
            QCOMPARE(tree->currentIndex(), scripts);
            QCOMPARE(QApplication::focusWidget(), tree);
            o.w.Progress().Waiting(10, "Working");
            QTest::mouseClick(o.w.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
            QVERIFY(o.w.Progress().Cancelled());
            o.w.Progress().DoneWaiting();
        }
        QVERIFY(o.w.menuBar()->isEnabled());
        QVERIFY(test::Press(Qt::Key_Down));
        QCOMPARE(tree->currentIndex(), scripts.sibling(scripts.row() + 1, 0));
        QCOMPARE(QApplication::focusWidget(), tree);
        QCOMPARE(o.w.findChild<QTabWidget*>("EditTab")->currentIndex(), 0);
    }

    // Del, Ctrl+X, Ctrl+C and Ctrl+V do the control's own work inside edit controls and act on the
    // tree's selection outside them.
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
        QVERIFY(test::Press(Qt::Key_A, Qt::ControlModifier) && test::Press(Qt::Key_C, Qt::ControlModifier));
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
        ClickCurrent(o.ed.Tree());
        QCOMPARE(QApplication::focusWidget(), o.ed.Tree());
        QVERIFY(test::Press(Qt::Key_C, Qt::ControlModifier));
        const auto* copied = clipboard.esRecArrayCatIndex().Item("NPC_");
        QVERIFY(copied && copied->esRecArrayCatEntries.Count() == 1);
        QVERIFY(test::Press(Qt::Key_Delete));
        QVERIFY(!o.file.esRecArrayIndex().Exists(npc) || o.file.Rec(npc).ID != "PP_ordinator");
        QCOMPARE(o.file.Records().size(), records - 1);
    }

    // After each of those commands the selection is at the nearest entry that remains.
    void theSelectionMovesToTheNearestEntryThatRemains() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        o.EditFreely();
        QVERIFY(test::ShowActive(o.w));
        o.Go("GLOB", o.NthKey("GLOB", 10));
        const QString tenth = RowId(o, "GLOB", 10), eleventh = RowId(o, "GLOB", 11), twelfth = RowId(o, "GLOB", 12);
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
        const QString beforeLast = RowId(o, "GLOB", last - 1);
        o.Go("GLOB", o.NthKey("GLOB", last));
        QVERIFY(test::Press(Qt::Key_Delete));
        QCOMPARE(Selected(o), beforeLast);
        // A subrecord: the one that takes its place, else the one before.
        const QString firstId = RowId(o, "GLOB", 0);
        o.Go("GLOB", o.NthKey("GLOB", 0), "FNAM");
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

QTEST_MAIN(RecordTreeTest)
#include "RecordTreeTest.moc"
