// The filter over the record tree, from the keyboard: keys go to whatever widget has the focus,
// counts are checked against the file's bytes read without the template, and commands against
// the saved file's bytes.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esCheckedEntries.h"
#include "model/esfile.h"
#include "ui/NumberField.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

using namespace vellum;
using namespace vellum::ui;

namespace {

// Types whose listed ID is not the first text of their bytes.
const std::set<std::string> kOtherIds{"TES3", "CELL", "LAND", "PGRD", "SKIL", "MGEF", "SSCR"};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

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

bool Type(const QString& text) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QTest::keyClicks(focus, text);
    return true;
}

QString Caption(test::OpenedPlugin& o, const char* type) { return o.Cat(type).data().toString(); }

} // namespace

class TreeFilterTest : public QObject {
    Q_OBJECT
private slots:
    void countsAsTheBytesHaveThem_data() {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("text");
        QTest::newRow("names and responses") << "friends_and_rivals.esp" << "GUARD";
        QTest::newRow("item names") << "gr_keys.esp" << "Key";
        QTest::newRow("expression") << "antares_big_mod_1.2.esp" << "/^mt[ps]_.*script$/";
        QTest::newRow("expression over names") << "mqe_mainquestenhancers.esp" << "/^(fearful|dead) /";
    }
    void countsAsTheBytesHaveThem() {
        VELLUM_QREQUIRE_SHARED();
        QFETCH(QString, plugin);
        QFETCH(QString, text);
        test::OpenedPlugin o(plugin.toStdString());
        QVERIFY(test::ShowActive(o.w));
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QCOMPARE(QApplication::focusWidget(), o.ed.FilterField());
        QVERIFY(Type(text));
        const auto kept = KeptByBytes(o.path, text.toStdString());
        QTRY_VERIFY(o.model.Filtered());
        int shown = 0, all = 0;
        for (const auto& [type, n] : kept) {
            const QModelIndex category = o.Cat(type.c_str());
            QVERIFY2(category.isValid(), type.c_str());
            const int total = static_cast<int>(o.file.esRecArrayCatIndex().Item(type)->esRecArrayCatEntries.Count());
            QVERIFY2(Caption(o, type.c_str()).endsWith(QStringLiteral("  (%1 of %2)").arg(n).arg(total)),
                     qPrintable(Caption(o, type.c_str()) + " expected " + QString::number(n)));
            // A built category shows the same rows.
            o.model.BuildRecords(category);
            QCOMPARE(o.model.rowCount(category), n);
            shown += n;
            all += total;
        }
        QVERIFY2(shown > 0 && shown < all, "the text keeps some records and hides others");
    }

    void anInvalidExpressionSaysSoAndFiltersNothing() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QVERIFY(Type("/mtp(/"));
        QLineEdit* field = o.ed.FilterField();
        QTRY_VERIFY(field->toolTip().startsWith("Invalid expression"));
        QVERIFY(field->styleSheet().contains("border"));
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (62)"));
        QVERIFY(o.w.findChild<QLabel*>("lblFilterState")->text().startsWith("Invalid expression"));
        QVERIFY(test::Press(Qt::Key_Backspace));
        QVERIFY(test::Press(Qt::Key_Backspace));
        QVERIFY(Type("/"));
        QTRY_VERIFY(field->styleSheet().isEmpty());
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (5 of 62)"));
    }

    // The selection: where it goes when the filter hides it, and that it is kept when the
    // filter is cleared; the keys between the field and the tree.
    void theSelectionIsKeptAcrossTheFilter() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        QTreeView* tree = o.ed.Tree();
        const std::string chosen = o.KeyOf("SCPT", "AP_canteach_Script");
        o.Go("SCPT", chosen);
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QVERIFY(Type("mts_"));
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
        QVERIFY(Type("mts_"));
        QTRY_VERIFY(o.model.Filtered());
        QVERIFY(test::Press(Qt::Key_Down));
        QCOMPARE(QApplication::focusWidget(), tree);
        QCOMPARE(o.file.Rec(o.file.CurrentRecordKey).ID, std::string("MTS_assassin2_Script"));
        QVERIFY(test::Press(Qt::Key_Down));
        QVERIFY(test::Press(Qt::Key_Right)); // opens it
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
        QVERIFY(Type("zzz_none"));
        QTRY_COMPARE(o.model.ShownRecords(), std::size_t(0));
        o.w.Command("Back")->trigger();
        QCOMPARE(o.ed.FilterField()->text(), QString());
        QVERIFY(!o.model.Filtered());
        QVERIFY(!o.file.CurrentRecordKey.empty());
    }

    // Changed and ticked only; and a command under a filter acts on the ticked records, hidden or not, else
    // on the records its category shows, no other: the saved bytes tell.
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
        QVERIFY(test::Press(Qt::Key_A, Qt::ControlModifier));
        QVERIFY(Type("7.5"));
        auto* changedOnly = o.w.findChild<QToolButton*>("btnFilterChanged");
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QCOMPARE(Caption(o, "GLOB"), QString("Global Variables  (1 of 51)"));
        QCOMPARE(Caption(o, "SCPT"), QString("Scripts  (0 of 62)"));
        QCOMPARE(o.file.CurrentRecordKey, edited);
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QTest::mouseClick(o.ed.Tree()->viewport(), Qt::LeftButton, {},
                          o.ed.Tree()->visualRect(o.ed.Tree()->currentIndex()).center());

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
        QVERIFY(test::Press(Qt::Key_L, Qt::ControlModifier));
        QVERIFY(Type("mts_"));
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
};

QTEST_MAIN(TreeFilterTest)
#include "TreeFilterTest.moc"
