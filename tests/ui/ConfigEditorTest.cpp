// The configuration editor: the grid's rows, saving with the template's identity rule, the
// file commands and their questions.
#include "UiTestSupport.h"

#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "ui/ConfigGridModel.h"
#include "ui/frmConfigEditor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QTableView>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;

namespace {

const char* const kTemplate = "[NPC_]\nPropID = NAME:ID\n[NPC_.NAME]\n@REQUIREMENT = 1\nID = STRING\n"
                              "[CREA]\nPropID = XNAM\n[BOOK]\nPropID = NAME:ID,INDX:Index\n"
                              "[@FILESEQUENCE]\nTES3\n[GMST.NAME]\nPropID = STRV:x\n";

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Config Read(const std::filesystem::path& path) {
    Config c;
    c.OpenFile(path.string());
    return c;
}

const char* const kSaveQuestion = "Do you wish to save the current configuration before continuing?";

} // namespace

class ConfigEditorTest : public QObject {
    Q_OBJECT
private slots:
    void gridShowsHeadingsInstructionsAndVariablesInOrder() {
        Config c;
        c.OpenText("[A]\nx = 1\n@Unique\n[B]\ny = 2\n");
        ConfigGridModel m;
        m.Load(c);
        QCOMPARE(m.rowCount(), 5);
        QCOMPARE(m.data(m.index(0, 0)).toString(), QString("Group Name"));
        QCOMPARE(m.data(m.index(0, 1)).toString(), QString("A"));
        QCOMPARE(m.data(m.index(1, 0)).toString(), QString("@Unique"));
        QCOMPARE(m.data(m.index(2, 1)).toString(), QString("1"));
        QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Property"));
        QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(m.GroupOf(4), std::string("B"));
    }

    void movesInsertsAndDeletesKeepGroupsWhole() {
        Config c;
        c.OpenText("[A]\nx = 1\ny = 2\n[B]\nz = 3\n");
        ConfigGridModel m;
        m.Load(c);
        QCOMPARE(m.MoveUp(1), -1);   // never above the first heading
        QCOMPARE(m.MoveDown(2), 3);  // y crosses into B
        QCOMPARE(m.GroupOf(3), std::string("B"));
        QCOMPARE(m.MoveUp(2), 0);    // heading B moves with its rows above A
        Config out;
        m.Build(out);
        QCOMPARE(out.Groups().Item(1).Name, std::string("B"));
        QCOMPARE(out.GetVar("B", "y"), std::string("2"));
        QCOMPARE(out.FindGroup("A")->Variables.Count(), std::size_t(1));
        QCOMPARE(m.Rows()[static_cast<std::size_t>(m.InsertGroup())].name, std::string("@NewGroup1"));
        QCOMPARE(m.Rows()[static_cast<std::size_t>(m.InsertGroup())].name, std::string("@NewGroup2"));
        const int v = m.InsertVariable(0);
        QCOMPARE(v, 3);
        QCOMPARE(m.Rows()[3].name, std::string("NewVariable1"));
        m.Delete(0); // B with y, z and the new variable
        QCOMPARE(m.Rows()[0].name, std::string("A"));
        QCOMPARE(m.rowCount(), 4);
    }

    void savingTheTemplateRequiresEachIdentitySubrecordOthersAsTheyAre() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, kTemplate);
        frmConfigEditor editor(path.string(), dir.path());
        QVERIFY(editor.IsTemplate());
        QSignalSpy saved(&editor, &frmConfigEditor::TemplateSaved);
        QVERIFY(editor.Save());
        QCOMPARE(saved.count(), 1);
        const Config c = Read(path);
        QCOMPARE(c.FindInstr("NPC_.NAME", "Requirement")->Value, std::string("2")); // 1 became 2
        QCOMPARE(c.FindGroup("NPC_.NAME")->Instructions.Count(), std::size_t(1));
        QCOMPARE(c.FindInstr("CREA.XNAM", "Requirement")->Value, std::string("2")); // no ":" at all
        QCOMPARE(c.FindGroup("CREA.XNAM")->Variables.Count(), std::size_t(0));
        QVERIFY(c.FindInstr("BOOK.NAME", "Requirement"));
        QVERIFY(!c.GroupExists("GMST.NAME.STRV")); // a subrecord group is no record type
        QVERIFY(!editor.Changed());
        QCOMPARE(editor.Model()->rowCount(), 17); // reloaded from the file written
        test::Shoot(editor, "frmConfigEditor");

        // Other files are saved as they are.
        Write(dir / "Other.ini", kTemplate);
        frmConfigEditor other((dir / "Other.ini").string(), dir.path());
        QVERIFY(!other.IsTemplate());
        QVERIFY(other.Save());
        QVERIFY(!Read(dir / "Other.ini").GroupExists("CREA.XNAM"));
    }

    // Every command, on the toolbar or in a menu only, shows an icon of its own.
    void everyCommandHasItsOwnIcon() {
        test::TempDir dir;
        frmConfigEditor editor("", dir.path());
        QMap<QString, QImage> seen;
        const QList<QAction*> actions = editor.findChildren<QAction*>();
        for (QAction* a : actions) {
            if (a->objectName().isEmpty() || a->isSeparator())
                continue;
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
            const QImage image = a->icon().pixmap(24, 24).toImage();
            for (auto it = seen.cbegin(); it != seen.cend(); ++it)
                QVERIFY2(it.value() != image, qPrintable(a->objectName() + " looks like " + it.key()));
            seen.insert(a->objectName(), image);
        }
        QCOMPARE(seen.size(), 15);
        test::Shoot(editor, "frmConfigEditor");
    }

    void revertAsksAndReloadsOrSaysThereIsNothing() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        frmConfigEditor fresh("", dir.path());
        QCOMPARE(fresh.Path(), (dir / "New.ini").string());
        QCOMPARE(fresh.Model()->Rows()[0].name, std::string("NewGroup1"));
        fresh.InsertVariable();
        fresh.Revert();
        QCOMPARE(prompt.Texts(), std::vector<std::string>({"No saved version to revert to."}));
        QCOMPARE(fresh.Model()->rowCount(), 2);

        const auto path = dir / "a.ini";
        Write(path, "[G]\nv = 1\n");
        frmConfigEditor editor(path.string(), dir.path());
        editor.Model()->setData(editor.Model()->index(1, 1), "9");
        QVERIFY(editor.Changed());
        prompt.answers = {Answer::No};
        editor.Revert();
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("9"));
        editor.Revert(); // Yes by default
        QCOMPARE(prompt.Texts().back(),
                 std::string("Are you sure you wish to revert to the last saved version of this configuration?"));
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("1"));
        QVERIFY(!editor.Changed());
        fresh.Model()->setData(fresh.Model()->index(1, 0), "x"); // leave the fresh one unchanged on close
        prompt.answers = {Answer::No};
        fresh.close();
        QCOMPARE(prompt.Texts().back(), std::string(kSaveQuestion));
    }

    void openAsksToSaveFirstAndDeleteAsksForGroups() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        Write(dir / "a.ini", "[G]\nv = 1\n[H]\nw = 2\n");
        Write(dir / "b.ini", "[Other]\n");
        frmConfigEditor editor((dir / "a.ini").string(), dir.path());
        editor.Grid()->setCurrentIndex(editor.Model()->index(2, 0));
        prompt.answers = {Answer::No};
        editor.Delete();
        QCOMPARE(prompt.Texts().back(),
                 std::string("Are you sure you want to delete this group (all variables in the group will be deleted)?"));
        QCOMPARE(editor.Model()->rowCount(), 4);
        editor.Delete(); // Yes
        QCOMPARE(editor.Model()->rowCount(), 2);
        editor.Grid()->setCurrentIndex(editor.Model()->index(1, 0));
        const std::size_t asked = prompt.calls.size();
        editor.Delete(); // a variable goes without a question
        QCOMPARE(prompt.calls.size(), asked);
        QCOMPARE(editor.Model()->rowCount(), 1);

        editor.chooseFile = [&](bool save, const QString&) {
            return save ? QString() : QString::fromStdString((dir / "b.ini").string());
        };
        editor.Open(); // Yes: saves a.ini first
        QCOMPARE(prompt.Texts().back(), std::string(kSaveQuestion));
        QCOMPARE(Read(dir / "a.ini").Groups().Count(), std::size_t(1));
        QCOMPARE(editor.Path(), (dir / "b.ini").string());
        QCOMPARE(editor.Model()->Rows()[0].name, std::string("Other"));
    }

    void defaultCopyIsMadeAndRestored() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, "[G]\nv = 1\n");
        frmConfigEditor editor(path.string(), dir.path());
        QCOMPARE(frmConfigEditor::DefaultCopyOf(path.string()), (dir / "ESTemplate.def").string());
        editor.MakeDefault();
        QVERIFY(prompt.Texts().back().starts_with("Are you SERIOUS? This will make the current configuration"));
        QCOMPARE(Read(dir / "ESTemplate.def").GetVar("G", "v"), std::string("1"));
        Write(path, "[G]\nv = 5\n");
        editor.Load(path.string());
        editor.RevertToDefault();
        QCOMPARE(prompt.calls.back().title, std::string("Confirm File Revert"));
        QCOMPARE(editor.Model()->Rows()[1].value, std::string("1"));
        QCOMPARE(Read(path).GetVar("G", "v"), std::string("1"));
    }

    // A property line's value cell offers the lists of names that suit its type; a list made in
    // the grid and chosen there names the values once the template is read again.
    void valueCellsOfferTheListsOfNames() {
        test::PromptRecorder prompt;
        test::TempDir dir;
        const auto path = dir / "ESTemplate.ini";
        Write(path, "[WEAP]\nPropID = NAME:ID\n[WEAP.NAME]\n@REQUIREMENT = 2\nID = STRING\n"
                    "[WEAP.WPDT]\nType = SHORT\nFlags = BITFIELD,4\nWeight = SINGLE\n"
                    "[@VALUES.WeaponType]\n0 = Short Blade\n[@FLAGS.Weapon]\n0x2 = Silver\n"
                    "[@VALUES.GlobalType]\ns = Short\n");
        frmConfigEditor ed(path.string(), dir.path());
        ConfigGridModel& m = *ed.Model();
        auto rowOf = [&m](const std::string& name) {
            for (int r = 0; r < m.rowCount(); ++r)
                if (!m.IsHeading(r) && m.Rows()[static_cast<std::size_t>(r)].name == name)
                    return r;
            return -1;
        };
        using Choices = std::vector<std::string>;
        QCOMPARE(m.ValueChoices(rowOf("Type")), (Choices{"SHORT", "SHORT,2,WeaponType"}));
        QCOMPARE(m.ValueChoices(rowOf("Flags")), (Choices{"BITFIELD,4", "BITFIELD,4,Weapon"}));
        QCOMPARE(m.ValueChoices(rowOf("ID")), (Choices{"STRING", "STRING,0,WeaponType", "STRING,0,GlobalType"}));
        QVERIFY(m.ValueChoices(rowOf("Weight")).empty()); // a float has no names
        QVERIFY(m.ValueChoices(rowOf("PropID")).empty()); // nor a record group's entry
        QVERIFY(m.ValueChoices(rowOf("0")).empty());

        // A new list, typed into the grid.
        const int heading = m.InsertGroup();
        QVERIFY(m.setData(m.index(heading, 1), "@VALUES.Grip"));
        const int entry = m.InsertVariable(heading);
        QVERIFY(m.setData(m.index(entry, 0), "1") && m.setData(m.index(entry, 1), "Two-Handed"));
        QVERIFY(m.ValueChoices(rowOf("Type")).back() == "SHORT,2,Grip");

        // F2 on the Type value opens the drop-down; Down and Enter take the first list.
        ed.show();
        QVERIFY(QTest::qWaitForWindowActive(&ed));
        ed.Grid()->setCurrentIndex(m.index(rowOf("Type"), 1));
        ed.Grid()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        auto* box = ed.Grid()->findChild<QComboBox*>("ValueChoices");
        QVERIFY(box);
        QCOMPARE(box->currentText(), QString("SHORT"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(m.Rows()[static_cast<std::size_t>(rowOf("Type"))].value, std::string("SHORT,2,WeaponType"));
        // Any text can still be typed.
        ed.Grid()->setCurrentIndex(m.index(rowOf("Flags"), 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), "BITFIELD,2,Weapon");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(m.Rows()[static_cast<std::size_t>(rowOf("Flags"))].value, std::string("BITFIELD,2,Weapon"));
        QVERIFY(ed.Save());

        Config saved = Read(path);
        PropertyCodec codec(saved);
        codec.ParseTemplate();
        QVERIFY2(prompt.calls.empty(), prompt.calls.empty() ? "" : prompt.calls[0].text.c_str());
        QCOMPARE(*codec.NamesOf("WEAP", "WPDT", "Type")->NameOf(0), std::string("Short Blade"));
        QCOMPARE(*codec.NamesOf("WEAP", "WPDT", "Flags")->BitName(1), std::string("Silver"));
        QCOMPARE(codec.Layout("WEAP", "WPDT")->Lines[1].Size, 2);
        QVERIFY(saved.FindGroup("@VALUES.Grip")->Variables.Exists("1"));
    }
};

QTEST_MAIN(ConfigEditorTest)
#include "ConfigEditorTest.moc"
