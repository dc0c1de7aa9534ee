// The property form: typed fields, commit on selection change, saving the edit, ID changes,
// pages, lookup and go-to buttons.
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/BitFieldEditor.h"
#include "ui/DesktopOpen.h"
#include "ui/FormBuilder.h"
#include "ui/NumberField.h"
#include "ui/RecordTreeModel.h"
#include "ui/TextTableModel.h"
#include "ui/PropertyForm.h"
#include "ui/frmLookup.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmScanReferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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

    void editSaveAndReload() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("blank.esm");
        auto& [s, path, w, ed, model, file] = o;
        const std::string recordKey = o.NthKey("GMST", 0);
        o.Go("GMST", recordKey);
        // The first value field (not the identity) of the game setting.
        const int n = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.IsData && !e.IDEntry; });
        QVERIFY(n > 0);
        const esLLFormEntry entry = ed.Entries().Item(static_cast<std::size_t>(n));
        auto* edit = LineEdit(o, n);
        if (!edit)
            edit = qobject_cast<QLineEdit*>(ed.Form()->EditorOf(n));
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, entry.FormEntryType == FormEntryKind::TextField ? "Edited" : "77");
        QVERIFY(ed.Entries().Item(static_cast<std::size_t>(n)).Changed);
        // Selecting another record commits the edit into the record.
        o.Go("GMST", o.NthKey("GMST", 1));
        QVERIFY(file.Changed);
        QVERIFY(w.SaveFile(false));
        QVERIFY(!file.Changed);

        esfile reread(s.context.files.Codec());
        QCOMPARE(reread.LoadFile(path, true, false), 0);
        FormBuilder builder(reread);
        const auto all = builder.Build({"GMST", recordKey, {}}, {});
        bool found = false;
        for (const esLLFormEntry& e : all)
            if (e.SubRecordKey == entry.SubRecordKey && e.PropertyName == entry.PropertyName) {
                found = true;
                if (entry.FormEntryType == FormEntryKind::TextField)
                    QCOMPARE(std::get<std::string>(e.Data), std::string("Edited"));
                else
                    QCOMPARE(NumberField::Format(e.Data), QString("77"));
            }
        QVERIFY(found);
    }

    void idChangeWarnsAboutDuplicates() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        const std::string key = o.KeyOf("NPC_", "PP_ordinator");
        const std::string other = o.KeyOf("NPC_", "PP_grand_inquisitor");
        QVERIFY(!key.empty() && !other.empty());
        auto setId = [&](const char* id) {
            o.Go("NPC_", key);
            const int n = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.IDEntry; });
            QVERIFY(n > 0);
            auto* edit = LineEdit(o, n);
            QVERIFY(edit);
            edit->selectAll();
            QTest::keyClicks(edit, id);
            o.Go("NPC_", other); // commit
        };
        setId("PP_grand_inquisitor");
        QVERIFY(s.prompt.Saw("Warning! The ID Index could not be updated because the ID 'PP_grand_inquisitor' is "
                             "already in use by another record."));
        QCOMPARE(file.Rec(key).ID, std::string("PP_ordinator")); // the index keeps the old ID
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
        const int parent = FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::ShowParent; });
        QVERIFY(parent > 0);
        qobject_cast<QPushButton*>(ed.Form()->EditorOf(parent))->click();
        QCOMPARE(file.CurrentCatKey, std::string("DIAL"));
        QVERIFY(FindEntry(ed.Entries(), [](const esLLFormEntry& e) { return e.FormEntryType == FormEntryKind::ShowChildren; }) > 0);
    }
};

QTEST_MAIN(PropertyFormTest)
#include "PropertyFormTest.moc"
