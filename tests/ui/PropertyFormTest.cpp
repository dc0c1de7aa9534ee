// The property form: typed fields, commit on selection change, saving the edit, ID changes,
// pages, lookup and go-to buttons.
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/BitFieldEditor.h"
#include "ui/DesktopOpen.h"
#include "TestRecords.h"
#include "ui/FormBuilder.h"
#include "ui/NamedValueField.h"
#include "ui/NumberField.h"
#include "ui/RecordTreeModel.h"
#include "ui/TextTableModel.h"
#include "ui/PropertyForm.h"
#include "ui/frmLookup.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmScanReferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace vellum;
using namespace vellum::ui;

namespace {

// Position (1-based) of the first entry that matches.
template <class Pred>
int FindEntry(esLLFormEntries& entries, Pred pred) {
    int n = 0;
    for (auto& e : entries) {
        ++n;
        if (pred(e.value))
            return n;
    }
    return 0;
}

esLLFormEntry TextEntry(const std::string& text, long maxChars) {
    esLLFormEntry e;
    e.FormEntryType = FormEntryKind::TextField;
    e.IsData = true;
    e.Caption = "Name";
    e.Data = e.OldData = text;
    e.MaxChars = maxChars;
    return e;
}

QLineEdit* LineEdit(test::OpenedPlugin& o, int n) {
    return o.ed.Form()->EditorOf(n)->findChild<QLineEdit*>(QString("Entry%1").arg(n));
}

} // namespace

class PropertyFormTest : public QObject {
    Q_OBJECT
private slots:
    void numbersRewriteToTheirLeadingNumber() {
        QCOMPARE(std::get<std::int64_t>(NumberField::Parse(FormEntryKind::LongField, 4, "12abc")), std::int64_t(12));
        QCOMPARE(std::get<std::int64_t>(NumberField::Parse(FormEntryKind::LongField, 4, "abc")), std::int64_t(0));
        QCOMPARE(std::get<std::int64_t>(NumberField::Parse(FormEntryKind::ShortField, 2, "99999")), std::int64_t(32767));
        QCOMPARE(std::get<std::int64_t>(NumberField::Parse(FormEntryKind::ByteField, 1, "-5")), std::int64_t(0));
        QCOMPARE(std::get<double>(NumberField::Parse(FormEntryKind::DoubleField, 8, " -3.5e2x")), -350.0);
        NumberField f(FormEntryKind::LongField, 4, std::int64_t(7));
        f.setText("42xyz");
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(&f, &out);
        QCOMPARE(f.text(), QString("42"));
    }

    void textLimitAndBitFields() {
        esLLFormEntries entries;
        entries.Add("Entry1", TextEntry("abcd", 4));
        entries.Add("Entry2", TextEntry("abcde", 4));
        esLLFormEntry bits;
        bits.FormEntryType = FormEntryKind::BitField;
        bits.IsData = true;
        bits.Data = bits.OldData = Bytes{0x05, 0, 0, 0, 0x80};
        entries.Add("Entry3", bits);
        PropertyForm form;
        form.Draw(&entries);
        auto* fits = form.EditorOf(1)->findChild<QLineEdit*>("Entry1");
        auto* tooLong = form.EditorOf(2)->findChild<QLineEdit*>("Entry2");
        QVERIFY(fits->isEnabled());
        QVERIFY(!tooLong->isEnabled());
        QCOMPARE(tooLong->toolTip(), QString("Text exceeds max length for field. Use multiline editor."));
        auto* editor = qobject_cast<BitFieldEditor*>(form.EditorOf(3));
        QVERIFY(editor);
        QCOMPARE(editor->BitCount(), 32); // only four of the five bytes
        QVERIFY(editor->Bit(0)->isChecked() && !editor->Bit(1)->isChecked() && editor->Bit(2)->isChecked());
        bool warned = false;
        for (QLabel* l : form.widget()->findChildren<QLabel*>())
            warned = warned || l->text() == "Warning! Data exceeds the maximum number of bytes allowed for the "
                                            "bitfield control. Only the first 4 bytes can be edited";
        QVERIFY(warned);
        editor->Bit(1)->setChecked(true);
        QCOMPARE(std::get<Bytes>(entries.Item("Entry3").Data), (Bytes{0x07, 0, 0, 0, 0x80}));
        QVERIFY(entries.Item("Entry3").Changed);
    }

    void duplicateIDIsRefusedAndARenameIsScanned() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        const std::string key = o.KeyOf("NPC_", "PP_ordinator");
        const std::string other = o.KeyOf("NPC_", "PP_grand_inquisitor");
        QVERIFY(!key.empty() && !other.empty());
        int n = 0;
        auto typeId = [&](const char* id) {
            o.Go("NPC_", key);
            n = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.IDEntry; });
            QVERIFY(n > 0);
            auto* edit = LineEdit(o, n);
            QVERIFY(edit);
            edit->selectAll();
            QTest::keyClicks(edit, id);
        };
        auto setId = [&](const char* id) {
            typeId(id);
            o.Go("NPC_", other); // commit
        };
        // Committed while the record stays shown (as a save does): refused, and the field and the
        // record's own data go back to the old ID.
        typeId("PP_grand_inquisitor");
        ed.Save();
        QVERIFY(s.prompt.Saw("The ID 'PP_grand_inquisitor' is already in use by another NPC_ record. The ID stays "
                             "'PP_ordinator'."));
        QCOMPARE(LineEdit(o, n)->text(), QString("PP_ordinator"));
        QCOMPARE(file.GetID(key), std::string("PP_ordinator"));
        QCOMPARE(file.esRecArrayCatIndex().Item("NPC_")->esRecIDIndex.Find("PP_grand_inquisitor")->IndexNumber,
                 file.GetRecordIndex(other));
        // The reference scan window opens; Scan runs it and its second press closes it.
        QString heading;
        int changes = -1;
        test::OnNextModal([&](QWidget* modal) {
            auto* scan = qobject_cast<frmScanReferences*>(modal);
            if (!scan) {
                modal->close();
                return;
            }
            heading = scan->Heading()->text();
            scan->Scan();
            changes = scan->Changes()->rowCount();
            scan->Scan();
        });
        const std::size_t steps = s.context.files.History().Position();
        setId("PP_ordinator_renamed");
        QCOMPARE(file.Rec(key).ID, std::string("PP_ordinator_renamed"));
        QCOMPARE(s.context.files.History().Position(), steps + 1); // the repair joined the edit
        QCOMPARE(s.context.files.History().UndoName(), std::string("Change ID"));
        const auto* cat = file.esRecArrayCatIndex().Item("NPC_");
        QVERIFY(cat->esRecIDIndex.Exists("PP_ordinator_renamed"));
        QVERIFY(!cat->esRecIDIndex.Exists("PP_ordinator"));
        QCOMPARE(ed.Model()->RecordIndex(key).data().toString(), QString("NPC_ PP_ordinator_renamed"));
        QCOMPARE(heading, QString("Scan References: PP_ordinator_renamed"));
        QVERIFY(changes >= 0);
        s.context.files.History().Undo();
        QVERIFY(file.esRecArrayCatIndex().Item("NPC_")->esRecIDIndex.Exists("PP_ordinator"));
        QVERIFY(!file.esRecArrayCatIndex().Item("NPC_")->esRecIDIndex.Exists("PP_ordinator_renamed"));
        s.context.files.History().Redo();
        w.resize(1280, 800);
        test::Shoot(w, "main-window");
    }

    void longRecordsArePaged() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        frmLowLevelEdit& ed = o.ed;
        const std::string key = o.KeyOf("CELL", "Cellar");
        QVERIFY(!key.empty());
        o.Go("CELL", key);
        QCOMPARE(ed.Entries().Count(), FormBuilder::kPageSize + 1);
        const int next = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::NextPage; });
        QCOMPARE(next, int(FormBuilder::kPageSize + 1));
        qobject_cast<QPushButton*>(ed.Form()->EditorOf(next))->click();
        QCOMPARE(ed.FormPage(), 1);
        QCOMPARE(ed.Entries().Item(1).FormEntryType, FormEntryKind::PreviousPage);
        qobject_cast<QPushButton*>(ed.Form()->EditorOf(1))->click();
        QCOMPARE(ed.FormPage(), 0);

        // Only the entries asked for are made; any window of them is that stretch of the whole.
        auto describe = [](const std::vector<esLLFormEntry>& entries) {
            std::vector<std::string> out;
            for (const esLLFormEntry& e : entries)
                out.push_back(std::to_string(int(e.FormEntryType)) + e.Caption + e.SubRecordKey + e.PropertyName);
            return out;
        };
        FormBuilder builder(o.file);
        const std::vector<std::string> whole = describe(builder.Build({"CELL", key, {}}));
        QCOMPARE(builder.Total(), whole.size());
        QVERIFY(whole.size() > 2 * FormBuilder::kPageSize);
        for (const auto& [first, count] : std::vector<std::pair<std::size_t, std::size_t>>{
                 {0, 1}, {1, 2}, {2, 5}, {127, 128}, {128, 128}, {whole.size() - 3, 128}, {whole.size(), 128}}) {
            const auto window = describe(builder.Build({"CELL", key, {}}, nullptr, first, count));
            const auto end = whole.begin() + static_cast<std::ptrdiff_t>(std::min(whole.size(), first + count));
            QCOMPARE(window, std::vector<std::string>(whole.begin() + static_cast<std::ptrdiff_t>(first), end));
            QCOMPARE(builder.Total(), whole.size());
        }
        // A response's parent button and a topic's children button count like any entry.
        const RecordEntry* info = nullptr;
        for (const RecordEntry& r : o.file.Records())
            if (r.Name == "INFO" && !r.ParentKey.empty())
                info = &r;
        QVERIFY(info);
        const auto all = describe(builder.Build({"INFO", info->Key, {}}));
        for (std::size_t first = 0; first < all.size(); ++first)
            QCOMPARE(describe(builder.Build({"INFO", info->Key, {}}, nullptr, first, 1)), std::vector<std::string>{all[first]});
    }

    void fileBrowseStaysInItsFolder() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        o.Go("SOUN", o.NthKey("SOUN", 0));
        const int n = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::FileLookupField; });
        QVERIFY(n > 0);
        QCOMPARE(ed.Entries().Item(static_cast<std::size_t>(n)).LookupFolder, std::string("Sound"));
        QPushButton* browse = nullptr;
        for (QPushButton* b : ed.Form()->EditorOf(n)->findChildren<QPushButton*>())
            if (b->text() == "Browse...")
                browse = b;
        QVERIFY(browse);
        test::AnswerFileDialog("/somewhere/else/boom.wav");
        browse->click();
        QVERIFY(s.prompt.Saw("This type of entry may only refer to a file in the directory 'Sound' or one of its "
                             "subdirectories."));
        QVERIFY(!ed.Entries().Item(static_cast<std::size_t>(n)).Changed);
        test::AnswerFileDialog(QString::fromStdString((s.DataFolder() / "Sound" / "Fx" / "boom.wav").string()));
        browse->click();
        QCOMPARE(std::get<std::string>(ed.Entries().Item(static_cast<std::size_t>(n)).Data), std::string("Fx\\boom.wav"));
    }

    void goToPreviewAndParentButtons() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        // The go-to button of a reference jumps to the record with that ID.
        o.Go("NPC_", o.KeyOf("NPC_", "PP_ordinator"));
        const int script = FindEntry(ed.Entries(), [](const esLLFormEntry& e) {
            return e.FormEntryType == FormEntryKind::TextLookupField && std::get<std::string>(e.Data) == "PP_ordinator_Script";
        });
        QVERIFY(script > 0);
        // Lookup offers the file's scripts; the chosen ID goes into the field.
        QPushButton* lookup = ed.Form()->EditorOf(script)->findChild<QPushButton*>(QString("Lookup%1").arg(script));
        QVERIFY(lookup && lookup->isEnabled());
        QString offered;
        test::OnNextModal([&offered](QWidget* modal) {
            auto* dialog = qobject_cast<frmLookup*>(modal);
            QVERIFY(dialog && dialog->Model()->rowCount() > 1);
            QCOMPARE(dialog->Types()->currentText(), QString("SCPT"));
            dialog->Grid()->setCurrentIndex(dialog->Model()->index(1, 0));
            offered = dialog->Model()->At(1).cells[0];
            dialog->accept();
        });
        lookup->click();
        QVERIFY(!offered.isEmpty());
        QCOMPARE(QString::fromStdString(std::get<std::string>(ed.Entries().Item(script).Data)), offered);
        QCOMPARE(ed.Form()->EditorOf(script)->findChild<QLineEdit*>()->text(), offered);
        ed.Form()->EditorOf(script)->findChild<QPushButton*>(QString("GoTo%1").arg(script))->click();
        QCOMPARE(file.CurrentCatKey, std::string("SCPT"));
        QCOMPARE(QString::fromStdString(file.Rec(file.CurrentRecordKey).ID), offered); // goes where it now points
        // Book text: the preview writes temp.html in the program folder and opens it.
        QStringList opened;
        SetDesktopOpener([&](const QString& p) {
            opened << p;
            return true;
        });
        o.Go("BOOK", o.KeyOf("BOOK", "AG_hlaalu_list"));
        const int text = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return !e.Html.empty() && e.IsData; });
        QVERIFY(text > 0);
        for (QPushButton* b : ed.Form()->EditorOf(text)->findChildren<QPushButton*>())
            if (b->text() == "Preview")
                b->click();
        SetDesktopOpener({});
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].endsWith("temp.html"));
        QVERIFY(std::filesystem::exists(s.ProgramFolder() / "temp.html"));
        // A dialogue response offers its parent topic, the topic its responses.
        const RecordEntry* info = nullptr;
        for (const RecordEntry& r : file.Records())
            if (r.Name == "INFO" && !r.ParentKey.empty()) {
                info = &r;
                break;
            }
        QVERIFY(info);
        o.Go("INFO", info->Key);
        const int parent = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::ParentLookupField; });
        QVERIFY(parent > 0);
        ed.Form()->EditorOf(parent)->findChild<QPushButton*>(QString("GoTo%1").arg(parent))->click();
        QCOMPARE(file.CurrentCatKey, std::string("DIAL"));
        QVERIFY(FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::ShowChildren; }) > 0);
    }

    // Through the keyboard on a real spell: a type chosen by name, a cost typed, a flag ticked, a
    // skill typed as its number; committed by selecting elsewhere, the saved file holds them.
    void namedValuesAndFlagsEditTheStoredBytes() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const std::string key = o.KeyOf("SPEL", "PP_vivec");
        model.BuildRecords(o.Cat("SPEL"));
        o.Click(model.RecordIndex(key));
        auto entry = [&](const char* sub, const char* property) {
            return FindEntry(ed.Entries(), [&](const esLLFormEntry& e) {
                return e.SubrecordType == sub && e.PropertyName == property;
            });
        };
        auto* type = qobject_cast<NamedValueField*>(ed.Form()->EditorOf(entry("SPDT", "Type")));
        QVERIFY(type);
        QCOMPARE(type->Choices()->currentText(), QString("Power"));
        type->Choices()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(type->Stored()->text(), QString("4"));

        auto* cost = qobject_cast<QLineEdit*>(ed.Form()->EditorOf(entry("SPDT", "Cost")));
        QVERIFY(cost);
        cost->setFocus();
        cost->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "77");

        auto* flags = qobject_cast<BitFieldEditor*>(ed.Form()->EditorOf(entry("SPDT", "Flags")));
        QVERIFY(flags && flags->BitCount() == 3); // the three named bits, none set
        QCOMPARE(flags->Bit(2)->text(), QString("Always Succeeds"));
        flags->Bit(2)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

        auto* skill = qobject_cast<NamedValueField*>(ed.Form()->EditorOf(entry("ENAM", "Skill")));
        QVERIFY(skill);
        QCOMPARE(skill->Choices()->currentText(), QString("None")); // a stored FF is -1
        skill->Stored()->setFocus();
        skill->Stored()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "26");
        QCOMPARE(skill->Choices()->currentText(), QString("Hand-to-hand"));
        QTest::keyClicks(QApplication::focusWidget(), "0");
        QCOMPARE(skill->Choices()->currentText(), QString("(unnamed)")); // 127 at most: clamped, unnamed
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);

        o.Click(model.CategoryIndex("SPEL")); // commits
        QVERIFY(w.SaveFile(false));
        const Bytes saved = test::ReadBytes(path);
        int spells = 0;
        for (const test::RawRecord& r : test::RawRecords(saved)) {
            if (r.type != "SPEL")
                continue;
            ++spells;
            Bytes spdt, enam;
            for (std::size_t at = 0; r.data.size() - at >= 8;) {
                const std::string name(reinterpret_cast<const char*>(r.data.data() + at), 4);
                std::uint32_t size;
                std::memcpy(&size, r.data.data() + at + 4, 4);
                if (name == "SPDT")
                    spdt.assign(r.data.begin() + at + 8, r.data.begin() + at + 8 + size);
                if (name == "ENAM" && enam.empty())
                    enam.assign(r.data.begin() + at + 8, r.data.begin() + at + 8 + size);
                at += 8 + size;
            }
            QCOMPARE(spdt.size(), std::size_t(12));
            QCOMPARE(int(spdt[0]), 4);           // Curse
            QCOMPARE(int(spdt[4]), 77);          // the cost, a plain number
            QCOMPARE(int(spdt[8]), 0x4);         // Always Succeeds
            QCOMPARE(int(enam[2]), 26);          // Hand-to-hand
            QCOMPARE(int(enam[3]), 0xFF);        // the attribute stays -1
        }
        QCOMPARE(spells, 1);
    }
};

QTEST_MAIN(PropertyFormTest)
#include "PropertyFormTest.moc"
