// The property form: one real record of every record type shown from the file through the
// tree, FormBuilder and PropertyForm to the widgets (what each row should show comes from the
// record's raw bytes and the template's text, read here without the codec); typed fields,
// commit on selection change, ID changes, pages, lookup and go-to buttons; dialogue by topic.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "model/esfile.h"
#include "ui/BitFieldEditor.h"
#include "ui/DesktopOpen.h"
#include "ui/FileButtonBar.h"
#include "ui/FormBuilder.h"
#include "ui/LegacyText.h"
#include "ui/NamedValueField.h"
#include "ui/NumberField.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/TextTableModel.h"
#include "ui/TopicModel.h"
#include "ui/TopicView.h"
#include "ui/fhByteControl.h"
#include "ui/frmLookup.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmParentLookup.h"
#include "ui/frmScanReferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <set>

using namespace vellum;
using namespace vellum::ui;
using test::RawResponse;
using test::RawTopic;

namespace {

using test::Trim;
using test::Upper;

// A template line's value: type, size, names list.
std::vector<std::string> Parts(const std::string& value) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (int i = 0; i < 2; ++i) {
        const auto comma = value.find(',', start);
        out.push_back(Trim(value.substr(start, comma - start)));
        if (comma == std::string::npos)
            return out;
        start = comma + 1;
    }
    out.push_back(Trim(value.substr(start)));
    return out;
}

// What the form should show for one property.
struct Expected {
    std::string caption, type; // type: the template type, or "BYTE" for data it does not describe
    std::string list;          // the names list the line asks for
    std::string address;       // R.S.Name
    Bytes bytes;               // the stored bytes of the value
    std::string text;          // text and numbers as they read
    double real = 0;
};

std::int64_t Int(const Bytes& b, bool isSigned) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < b.size(); ++i) v |= std::uint64_t(b[i]) << (8 * i);
    if (isSigned && b.size() < 8 && !b.empty() && (b.back() & 0x80))
        v |= ~std::uint64_t{0} << (8 * b.size());
    return static_cast<std::int64_t>(v);
}

std::string TemplateSubrecordType(const std::string& record, const std::string& name, std::size_t size, bool first) {
    if (record == "NPC_" && name == "NPDT" && size == 12) return "NPDT_12";
    if (record == "CELL" && name == "DATA" && size == 24) return "DATA_24";
    if (record == "CELL" && name == "NAME" && !first) return "NAME_NEXT";
    return name;
}

// The properties of one subrecord, by the template's lines in order.
std::vector<Expected> ExpectedOf(const std::string& record, const std::string& sub, ByteSpan d) {
    std::vector<Expected> out;
    const auto* lines = test::ShippedTemplate().Group(record + "." + sub);
    const std::size_t n = d.size();
    std::size_t pos = 0;
    static const std::vector<std::pair<std::string, std::string>> none;
    for (const auto& [name, value] : lines ? *lines : none) {
        if (pos >= n)
            break;
        const auto parts = Parts(value);
        const std::string type = Upper(parts[0]);
        const int declared = parts.size() > 1 ? std::atoi(parts[1].c_str()) : 0;
        Expected e{name, type, parts.size() > 2 ? parts[2] : "", record + "." + sub + "." + name, {}, {}};
        auto take = [&](std::size_t count) {
            const std::size_t have = std::min(count, n - pos);
            e.bytes.assign(d.begin() + pos, d.begin() + pos + have);
            pos += count;
            return have == count;
        };
        if (type == "STRING" || type == "STRINGLIST") {
            std::string text;
            if (declared > 0) {
                take(static_cast<std::size_t>(declared));
                text.assign(e.bytes.begin(), e.bytes.end());
            } else {
                for (; pos < n && (d[pos] || type == "STRINGLIST"); ++pos)
                    text += d[pos] ? std::string(1, static_cast<char>(d[pos])) : std::string("\r\n");
                while (pos < n && d[pos] == 0) ++pos;
            }
            text = text.substr(0, text.find('\0'));
            e.text = text.substr(0, text.find_last_not_of(' ') + 1);
        } else if (type == "BYTE" || type == "BITFIELD") {
            take(declared != 0 && pos + static_cast<std::size_t>(declared) <= n ? declared : n - pos);
        } else if (type == "SHORT" || type == "LONG" || type == "SIGNED" || type == "LONG64") {
            const std::size_t size = type == "SHORT" ? 2 : type == "LONG64" ? 8 : static_cast<std::size_t>(declared);
            const bool whole = take(size);
            e.text = whole ? std::to_string(Int(e.bytes, type != "LONG" || size == 4)) : "0";
        } else if (type == "SINGLE" || type == "DOUBLE") {
            const bool whole = take(type == "SINGLE" ? 4 : 8);
            float f = 0;
            if (whole && type == "SINGLE")
                std::memcpy(&f, e.bytes.data(), 4), e.real = f;
            else if (whole)
                std::memcpy(&e.real, e.bytes.data(), 8);
        } else {
            continue; // a type the template does not know takes no bytes
        }
        out.push_back(e);
    }
    if (pos < n || !lines)
        out.push_back({"Unknown Data", "BYTE", {}, record + "." + sub + ".Unknown Data", Bytes(d.begin() + std::min(pos, n), d.end()), {}});
    return out;
}

QString Latin(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

bool SameText(const QString& shown, const std::string& expected) {
    const bool ascii = std::all_of(expected.begin(), expected.end(), [](char c) { return (c & 0x80) == 0; });
    return ascii ? shown == Latin(expected) : ToFileText(shown) == expected;
}

// The caption beside the form's widget `w`.
QString CaptionOf(PropertyForm& form, QWidget* w) {
    auto* grid = static_cast<QGridLayout*>(form.widget()->layout());
    for (int r = 0; r < grid->rowCount(); ++r) {
        QLayoutItem* cell = grid->itemAtPosition(r, 1);
        if (cell && cell->widget() && (cell->widget() == w || cell->widget()->isAncestorOf(w))) {
            QLayoutItem* label = grid->itemAtPosition(r, 0);
            return label && qobject_cast<QLabel*>(label->widget()) ? qobject_cast<QLabel*>(label->widget())->text()
                                                                    : QString();
        }
    }
    return {};
}

// One record per type: the one with the most kinds of subrecord, among those of at most 60.
struct Sample {
    std::string file, type;
    std::size_t position = 0, kinds = 0, subrecords = 0;
};

std::vector<Sample> Samples() {
    std::map<std::string, Sample> best;
    for (const auto& path : test::SharedPlugins()) {
        const Bytes bytes = test::ReadBytes(path);
        const auto records = test::RawRecords(bytes);
        for (std::size_t i = 0; i < records.size(); ++i) {
            std::set<std::string> kinds;
            const auto subs = test::RawSubrecords(records[i]);
            for (const auto& sub : subs) kinds.insert(sub.name);
            Sample s{path.filename().string(), records[i].type, i, kinds.size(), subs.size()};
            auto [it, added] = best.try_emplace(s.type, s);
            if (!added && subs.size() <= 60 && (it->second.subrecords > 60 || s.kinds > it->second.kinds))
                it->second = s;
        }
    }
    std::vector<Sample> out;
    for (const auto& [type, s] : best) out.push_back(s);
    return out;
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

QPushButton* Button(test::OpenedPlugin& o, int n, const QString& text) {
    for (QPushButton* b : o.ed.Form()->EditorOf(n)->findChildren<QPushButton*>())
        if (b->text() == text || b->objectName() == text + QString::number(n))
            return b;
    return nullptr;
}

auto Kind(FormEntryKind kind) {
    return [kind](const esLLFormEntry& e) { return e.FormEntryType == kind; };
}

const RecordEntry* FirstResponse(const esfile& file) {
    for (const RecordEntry& r : file.Records())
        if (r.Name == "INFO" && !r.ParentKey.empty())
            return &r;
    return nullptr;
}

} // namespace

class PropertyFormTest : public QObject {
    Q_OBJECT
    std::map<std::string, std::unique_ptr<test::OpenedPlugin>> open_;

    test::OpenedPlugin& Opened(const std::string& file) {
        auto& slot = open_[file];
        if (!slot)
            slot = std::make_unique<test::OpenedPlugin>(file);
        return *slot;
    }

    // Checks the form rows of one subrecord against what its bytes hold.
    void CheckProperty(PropertyForm& form, int n, const esLLFormEntry& entry, const Expected& want) {
        const test::TemplateText& templ = test::ShippedTemplate();
        const QString where = QString::fromStdString(want.address);
        QWidget* w = form.EditorOf(n);
        QVERIFY2(w, qPrintable(where));
        QCOMPARE(CaptionOf(form, w), Latin(want.caption));
        const auto* names =
            want.list.empty() ? nullptr : templ.Group((want.type == "BITFIELD" ? "@FLAGS." : "@VALUES.") + want.list);
        if (want.type == "BITFIELD") {
            auto* bits = qobject_cast<BitFieldEditor*>(w);
            QVERIFY2(bits, qPrintable(where));
            for (int bit = 0; bit < static_cast<int>(std::min<std::size_t>(want.bytes.size(), 4) * 8); ++bit) {
                const bool set = (want.bytes[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1;
                const std::string* name = nullptr;
                for (std::size_t i = 0; names && i < names->size(); ++i)
                    if (const auto& [key, value] = (*names)[i]; std::strtoull(key.c_str(), nullptr, 0) == (std::uint64_t{1} << bit))
                        name = &value;
                QCheckBox* box = bits->Bit(bit);
                if (!names || name || set) {
                    QVERIFY2(box, qPrintable(where + QString(" bit %1").arg(bit)));
                    QCOMPARE(box->text(), name ? Latin(*name) : names ? QString("Bit %1").arg(bit) : QString::number(bit));
                    QCOMPARE(box->isChecked(), set);
                } else {
                    QVERIFY2(!box, qPrintable(where + QString(" bit %1 has a box").arg(bit)));
                }
            }
            return;
        }
        if (want.type == "BYTE") {
            auto* grid = qobject_cast<fhByteControl*>(w);
            QVERIFY2(grid, qPrintable(where));
            const std::size_t shown = std::min<std::size_t>(want.bytes.size(), PropertyForm::kMaxByteEdit);
            QVERIFY2(grid->ByteArray() == Bytes(want.bytes.begin(), want.bytes.begin() + shown), qPrintable(where));
            return;
        }
        if (names) {
            auto* field = qobject_cast<NamedValueField*>(w);
            QVERIFY2(field, qPrintable(where));
            QVERIFY2(SameText(field->Stored()->text(), want.text), qPrintable(where + ": " + field->Stored()->text()));
            const std::string* name = templ.Name("@VALUES." + want.list, want.text);
            QCOMPARE(field->Choices()->currentText(), name ? Latin(*name) : QString("(unnamed)"));
            return;
        }
        auto* edit = w->findChild<QLineEdit*>(QString("Entry%1").arg(n));
        if (!edit)
            edit = qobject_cast<QLineEdit*>(w);
        QVERIFY2(edit, qPrintable(where));
        if (want.type == "SINGLE" || want.type == "DOUBLE") {
            const double shown = edit->text().toDouble();
            QVERIFY2(want.type == "SINGLE" ? static_cast<float>(shown) == static_cast<float>(want.real) || std::isnan(want.real)
                                           : std::abs(shown - want.real) <= 1e-8 * std::abs(want.real),
                     qPrintable(where + ": " + edit->text()));
            return;
        }
        QVERIFY2(SameText(edit->text(), want.text), qPrintable(where + ": " + edit->text()));
        if (want.type == "STRING" || want.type == "STRINGLIST") {
            QStringList buttons;
            for (QPushButton* b : w->findChildren<QPushButton*>()) buttons << b->text();
            const bool file = templ.Name("@FILELOOKUP", want.address) != nullptr;
            QCOMPARE(buttons.contains("Browse..."), file);
            QCOMPARE(buttons.contains("..."), !file); // the multi-line editor
            QCOMPARE(buttons.contains("Lookup"), templ.Name("@TEXTLOOKUP", want.address) && !file);
            QCOMPARE(entry.FormEntryType == FormEntryKind::TextLookupField, buttons.contains("Lookup"));
        }
    }

private slots:
    void cleanupTestCase() { open_.clear(); }

    void everyPropertyShowsWhatItsBytesHold_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("position");
        if (test::PluginsDir().empty())
            return;
        for (const Sample& s : Samples())
            QTest::newRow(s.type.c_str()) << QString::fromStdString(s.file) << QString::fromStdString(s.type)
                                          << static_cast<int>(s.position);
    }

    void everyPropertyShowsWhatItsBytesHold() {
        VELLUM_QREQUIRE_SHARED();
        QFETCH(QString, file);
        QFETCH(QString, type);
        QFETCH(int, position);
        test::OpenedPlugin& o = Opened(file.toStdString());
        const RecordEntry& r = o.file.Records().at(static_cast<std::size_t>(position));
        QCOMPARE(QString::fromStdString(r.Name), type);
        const std::string key = r.Key;
        const Bytes bytes = test::ReadBytes(test::PluginsDir() / file.toStdString());
        const test::RawRecord raw = test::RawRecords(bytes).at(static_cast<std::size_t>(position));

        // The raw subrecords with what each should show.
        std::vector<std::pair<std::string, std::vector<Expected>>> subs;
        for (const test::RawSubrecord& s : test::RawSubrecords(raw))
            subs.emplace_back(s.name, ExpectedOf(raw.type, TemplateSubrecordType(raw.type, s.name, s.data.size(), s.first), s.data));

        // Selected in the tree, as a user clicks it.
        o.model.BuildRecords(o.Cat(raw.type.c_str()));
        o.Click(o.model.RecordIndex(key));
        QCOMPARE(o.file.CurrentRecordKey, key);
        int sub = -1;
        std::size_t prop = 0, checked = 0;
        for (int page = 0;; ++page) {
            for (int n = 1; n <= static_cast<int>(o.ed.Entries().Count()); ++n) {
                const esLLFormEntry& e = o.ed.Entries().Item(static_cast<std::size_t>(n));
                if (e.FormEntryType == FormEntryKind::SubrecordHeading) {
                    if (sub >= 0)
                        QCOMPARE(prop, subs[static_cast<std::size_t>(sub)].second.size());
                    prop = 0;
                    QVERIFY(++sub < static_cast<int>(subs.size()));
                    QVERIFY2(e.Caption.rfind("  Subrecord " + subs[static_cast<std::size_t>(sub)].first, 0) == 0,
                             e.Caption.c_str());
                }
                // A response's topic stands above its subrecords (the topic tests check it).
                if (!e.IsData || e.FormEntryType == FormEntryKind::ParentLookupField)
                    continue;
                const auto& want = subs.at(static_cast<std::size_t>(sub)).second;
                QVERIFY2(prop < want.size(), e.PropertyName.c_str());
                CheckProperty(*o.ed.Form(), n, e, want[prop++]);
                if (QTest::currentTestFailed())
                    return;
                ++checked;
            }
            const int more = o.Entry(Kind(FormEntryKind::NextPage));
            if (!more)
                break;
            qobject_cast<QPushButton*>(o.ed.Form()->EditorOf(more))->click();
            QCOMPARE(o.ed.FormPage(), page + 1);
        }
        QCOMPARE(sub + 1, static_cast<int>(subs.size()));
        if (!subs.empty())
            QCOMPARE(prop, subs.back().second.size());
        QVERIFY(checked > 0 || subs.empty());
    }

    void numbersRewriteToTheirLeadingNumber() {
        const struct {
            FormEntryKind kind;
            int size;
            const char* typed;
            PropertyValue value;
        } cases[] = {
            {FormEntryKind::LongField, 4, "12abc", std::int64_t(12)},   {FormEntryKind::LongField, 4, "abc", std::int64_t(0)},
            {FormEntryKind::ShortField, 2, "99999", std::int64_t(32767)}, {FormEntryKind::ByteField, 1, "-5", std::int64_t(0)},
            {FormEntryKind::DoubleField, 8, " -3.5e2x", -350.0},
        };
        for (const auto& c : cases)
            QVERIFY2(NumberField::Parse(c.kind, c.size, c.typed) == c.value, c.typed);
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
        QVERIFY(form.EditorOf(1)->findChild<QLineEdit*>("Entry1")->isEnabled());
        auto* tooLong = form.EditorOf(2)->findChild<QLineEdit*>("Entry2");
        QVERIFY(!tooLong->isEnabled());
        QCOMPARE(tooLong->toolTip(), QString("Text exceeds max length for field. Use multiline editor."));
        auto* editor = qobject_cast<BitFieldEditor*>(form.EditorOf(3));
        QVERIFY(editor);
        QCOMPARE(editor->BitCount(), 32); // only four of the five bytes
        QVERIFY(editor->Bit(0)->isChecked() && !editor->Bit(1)->isChecked() && editor->Bit(2)->isChecked());
        QStringList labels;
        for (QLabel* l : form.widget()->findChildren<QLabel*>()) labels << l->text();
        QVERIFY(labels.contains("Warning! Data exceeds the maximum number of bytes allowed for the bitfield control. "
                                "Only the first 4 bytes can be edited"));
        editor->Bit(1)->setChecked(true);
        QCOMPARE(std::get<Bytes>(entries.Item("Entry3").Data), (Bytes{0x07, 0, 0, 0, 0x80}));
        QVERIFY(entries.Item("Entry3").Changed);
    }

    void duplicateIDIsRefusedAndARenameIsScanned() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        const std::string key = o.KeyOf("NPC_", "PP_ordinator"), other = o.KeyOf("NPC_", "PP_grand_inquisitor");
        QVERIFY(!key.empty() && !other.empty());
        int n = 0;
        auto typeId = [&](const char* id) {
            o.Go("NPC_", key);
            n = o.Entry([](const esLLFormEntry& e) { return e.IDEntry; });
            QVERIFY(n > 0 && LineEdit(o, n));
            LineEdit(o, n)->selectAll();
            QTest::keyClicks(LineEdit(o, n), id);
        };
        // Committed while the record stays shown (as a save does): refused, and the field and the
        // record's own data go back to the old ID.
        typeId("PP_grand_inquisitor");
        ed.Save();
        QVERIFY(s.prompt.Saw("The ID 'PP_grand_inquisitor' is already in use by another NPC_ record. The ID stays "
                             "'PP_ordinator'."));
        QCOMPARE(LineEdit(o, n)->text(), QString("PP_ordinator"));
        QCOMPARE(file.GetID(key), std::string("PP_ordinator"));
        auto ids = [&file]() -> const auto& { return file.esRecArrayCatIndex().Item("NPC_")->esRecIDIndex; };
        QCOMPARE(ids().Find("PP_grand_inquisitor")->IndexNumber, file.GetRecordIndex(other));
        // The reference scan window opens; Scan runs it and its second press closes it.
        QString heading;
        int changes = -1;
        test::OnNextModal([&](QWidget* modal) {
            auto* scan = qobject_cast<frmScanReferences*>(modal);
            if (!scan)
                return (void)modal->close();
            heading = scan->Heading()->text();
            scan->Scan();
            changes = scan->Changes()->rowCount();
            scan->Scan();
        });
        const std::size_t steps = s.context.files.History().Position();
        typeId("PP_ordinator_renamed");
        o.Go("NPC_", other); // commits
        QCOMPARE(file.Rec(key).ID, std::string("PP_ordinator_renamed"));
        QCOMPARE(s.context.files.History().Position(), steps + 1); // the repair joined the edit
        QCOMPARE(s.context.files.History().UndoName(), std::string("Change ID"));
        QVERIFY(ids().Exists("PP_ordinator_renamed") && !ids().Exists("PP_ordinator"));
        QCOMPARE(model.RecordIndex(key).data().toString(), QString("NPC_ PP_ordinator_renamed"));
        QCOMPARE(heading, QString("Scan References: PP_ordinator_renamed"));
        QVERIFY(changes >= 0);
        s.context.files.History().Undo();
        QVERIFY(ids().Exists("PP_ordinator") && !ids().Exists("PP_ordinator_renamed"));
        s.context.files.History().Redo();
        w.resize(1280, 800);
        test::Shoot(w, "main-window");
    }

    void longRecordsArePaged() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin& o = Opened("antares_big_mod_1.2.esp");
        frmLowLevelEdit& ed = o.ed;
        const std::string key = o.KeyOf("CELL", "Cellar");
        QVERIFY(!key.empty());
        o.Go("CELL", key);
        QCOMPARE(ed.Entries().Count(), FormBuilder::kPageSize + 1);
        QCOMPARE(o.Entry(Kind(FormEntryKind::NextPage)), int(FormBuilder::kPageSize + 1));
        qobject_cast<QPushButton*>(ed.Form()->EditorOf(int(FormBuilder::kPageSize + 1)))->click();
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
        const RecordEntry* info = FirstResponse(o.file);
        QVERIFY(info);
        const auto all = describe(builder.Build({"INFO", info->Key, {}}));
        for (std::size_t first = 0; first < all.size(); ++first)
            QCOMPARE(describe(builder.Build({"INFO", info->Key, {}}, nullptr, first, 1)), std::vector<std::string>{all[first]});
    }

    void lookupGoToPreviewParentAndBrowseButtons() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        auto& [s, path, w, ed, model, file] = o;
        // Lookup offers the file's scripts; the chosen ID goes into the field.
        o.Go("NPC_", o.KeyOf("NPC_", "PP_ordinator"));
        const int script = o.Entry([](const esLLFormEntry& e) {
            return e.FormEntryType == FormEntryKind::TextLookupField && std::get<std::string>(e.Data) == "PP_ordinator_Script";
        });
        QVERIFY(script > 0);
        QPushButton* lookup = Button(o, script, "Lookup");
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
        // The go-to button jumps where the field now points.
        Button(o, script, "GoTo")->click();
        QCOMPARE(file.CurrentCatKey, std::string("SCPT"));
        QCOMPARE(QString::fromStdString(file.Rec(file.CurrentRecordKey).ID), offered);
        // Book text: the preview writes temp.html in the program folder and opens it.
        QStringList opened;
        SetDesktopOpener([&](const QString& p) { return opened << p, true; });
        o.Go("BOOK", o.KeyOf("BOOK", "AG_hlaalu_list"));
        const int text = o.Entry([](const esLLFormEntry& e) { return !e.Html.empty() && e.IsData; });
        QVERIFY(text > 0);
        Button(o, text, "Preview")->click();
        SetDesktopOpener({});
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].endsWith("temp.html"));
        QVERIFY(std::filesystem::exists(s.ProgramFolder() / "temp.html"));
        // A dialogue response offers its parent topic, the topic its responses.
        const RecordEntry* info = FirstResponse(file);
        QVERIFY(info);
        o.Go("INFO", info->Key);
        const int parent = o.Entry(Kind(FormEntryKind::ParentLookupField));
        QVERIFY(parent > 0);
        Button(o, parent, "GoTo")->click();
        QCOMPARE(file.CurrentCatKey, std::string("DIAL"));
        QVERIFY(o.Entry(Kind(FormEntryKind::ShowChildren)) > 0);

        // A file's Browse stays in the folder the entry names.
        o.Go("SOUN", o.NthKey("SOUN", 0));
        const int n = o.Entry(Kind(FormEntryKind::FileLookupField));
        QVERIFY(n > 0);
        const esLLFormEntry& entry = o.ed.Entries().Item(static_cast<std::size_t>(n));
        QCOMPARE(entry.LookupFolder, std::string("Sound"));
        QPushButton* browse = Button(o, n, "Browse...");
        QVERIFY(browse);
        test::AnswerFileDialog("/somewhere/else/boom.wav");
        browse->click();
        QVERIFY(s.prompt.Saw("This type of entry may only refer to a file in the directory 'Sound' or one of its "
                             "subdirectories."));
        QVERIFY(!entry.Changed);
        test::AnswerFileDialog(QString::fromStdString((s.DataFolder() / "Sound" / "Fx" / "boom.wav").string()));
        browse->click();
        QCOMPARE(std::get<std::string>(entry.Data), std::string("Fx\\boom.wav"));
    }

    // Through the keyboard on a real spell: a type chosen by name, a cost typed, a flag ticked, a
    // skill typed as its number; committed by selecting elsewhere, the saved file holds them.
    void namedValuesAndFlagsEditTheStoredBytes() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        o.model.BuildRecords(o.Cat("SPEL"));
        o.Click(o.model.RecordIndex(o.KeyOf("SPEL", "PP_vivec")));
        auto field = [&](const char* sub, const char* property) {
            return o.ed.Form()->EditorOf(o.Entry([&](const esLLFormEntry& e) {
                return e.SubrecordType == sub && e.PropertyName == property;
            }));
        };
        auto* type = qobject_cast<NamedValueField*>(field("SPDT", "Type"));
        QVERIFY(type);
        QCOMPARE(type->Choices()->currentText(), QString("Power"));
        type->Choices()->setFocus();
        QVERIFY(test::Press(Qt::Key_Up));
        QCOMPARE(type->Stored()->text(), QString("4"));

        auto* cost = qobject_cast<QLineEdit*>(field("SPDT", "Cost"));
        QVERIFY(cost);
        cost->setFocus();
        cost->selectAll();
        QVERIFY(test::TypeText("77"));

        auto* flags = qobject_cast<BitFieldEditor*>(field("SPDT", "Flags"));
        QVERIFY(flags && flags->BitCount() == 3); // the three named bits, none set
        QCOMPARE(flags->Bit(2)->text(), QString("Always Succeeds"));
        flags->Bit(2)->setFocus();
        QVERIFY(test::Press(Qt::Key_Space));

        auto* skill = qobject_cast<NamedValueField*>(field("ENAM", "Skill"));
        QVERIFY(skill);
        QCOMPARE(skill->Choices()->currentText(), QString("None")); // a stored FF is -1
        skill->Stored()->setFocus();
        skill->Stored()->selectAll();
        QVERIFY(test::TypeText("26"));
        QCOMPARE(skill->Choices()->currentText(), QString("Hand-to-hand"));
        QVERIFY(test::TypeText("0"));
        QCOMPARE(skill->Choices()->currentText(), QString("(unnamed)")); // 127 at most: clamped, unnamed
        QVERIFY(test::Press(Qt::Key_Backspace));

        o.Click(o.Cat("SPEL")); // commits
        QVERIFY(o.w.SaveFile(false));
        const Bytes saved = test::ReadBytes(o.path);
        int spells = 0;
        for (const test::RawRecord& r : test::RawRecords(saved)) {
            if (r.type != "SPEL")
                continue;
            ++spells;
            Bytes spdt, enam;
            for (const test::RawSubrecord& sub : test::RawSubrecords(r)) {
                if (sub.name == "SPDT") spdt.assign(sub.data.begin(), sub.data.end());
                if (sub.name == "ENAM" && enam.empty()) enam.assign(sub.data.begin(), sub.data.end());
            }
            QCOMPARE(spdt.size(), std::size_t(12));
            QCOMPARE(int(spdt[0]), 4);    // Curse
            QCOMPARE(int(spdt[4]), 77);   // the cost, a plain number
            QCOMPARE(int(spdt[8]), 0x4);  // Always Succeeds
            QCOMPARE(int(enam[2]), 26);   // Hand-to-hand
            QCOMPARE(int(enam[3]), 0xFF); // the attribute stays -1
        }
        QCOMPARE(spells, 1);
    }

    // A topic's responses read together in the order the game tests them; the keys move through
    // them; the response's form names its topic.
    void aTopicListsItsResponsesInTheOrderTheyAreTested() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin& o = Opened("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        const Bytes bytes = test::ReadBytes(o.path);
        const std::vector<RawTopic> topics = test::RawTopics(bytes);
        const RawTopic* biggest = &topics.front();
        for (const RawTopic& t : topics)
            if (t.responses.size() > biggest->responses.size())
                biggest = &t;
        QVERIFY(biggest->responses.size() > 50);
        TopicView* view = o.ed.Topic();
        o.Go("GLOB", o.NthKey("GLOB", 0));
        QVERIFY(view->isHidden());
        o.Go("DIAL", o.KeyOf("DIAL", biggest->id));
        QVERIFY(view->isVisible());
        TopicModel* model = view->Model();
        QCOMPARE(model->rowCount(), int(biggest->responses.size()));

        std::map<std::string, const RawResponse*> byId;
        for (const RawResponse& i : biggest->responses) byId[i.id] = &i;
        auto cell = [&](int row, int column) { return model->index(row, column).data().toString(); };
        auto id = [&](int row) { return ToFileText(cell(row, TopicModel::kId)); };
        for (int row = 0; row < model->rowCount(); ++row) {
            const RawResponse& info = *byId.at(id(row));
            if (row + 1 < model->rowCount() && byId.count(info.next))
                QCOMPARE(id(row + 1), info.next);
            QVERIFY(cell(row, TopicModel::kSpeaker).startsWith(FromFileText(info.speaker)));
            std::string text = info.text.substr(0, info.text.find('\0'));
            std::replace(text.begin(), text.end(), '\r', ' ');
            std::replace(text.begin(), text.end(), '\n', ' ');
            QCOMPARE(cell(row, TopicModel::kText), FromFileText(text));
        }
        test::Shoot(o.w, "TopicView");

        // A click opens the response; the keys then move through the topic, which keeps them.
        QTableView* table = view->Table();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(model->index(4, 2)).center());
        QCOMPARE(QString::fromStdString(o.file.CurrentRecordKey), model->KeyOf(4));
        QCOMPARE(QApplication::focusWidget(), table);
        QVERIFY(test::Press(Qt::Key_Down));
        QCOMPARE(QString::fromStdString(o.file.CurrentRecordKey), model->KeyOf(5));
        QCOMPARE(QApplication::focusWidget(), table);
        QCOMPARE(view->Model()->rowCount(), int(biggest->responses.size()));
        const int parent = o.Entry(Kind(FormEntryKind::ParentLookupField));
        QVERIFY(parent > 0);
        QCOMPARE(o.ed.Form()->EditorOf(parent)->findChild<QLineEdit*>()->text(), QString::fromStdString(biggest->id));
    }

    void theParentLookupMovesAResponseToAnotherTopic() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        const Bytes bytes = test::ReadBytes(o.path);
        const std::vector<RawTopic> topics = test::RawTopics(bytes);
        // A response of one topic, another topic of the same kind and one of another kind.
        const RawTopic *from = nullptr, *to = nullptr, *other = nullptr;
        for (const RawTopic& t : topics) {
            if (!from && t.responses.size() >= 3)
                from = &t;
            else if (from && !to && t.type == from->type && !t.responses.empty())
                to = &t;
            if (from && t.type != from->type && !other)
                other = &t;
        }
        QVERIFY(from && to && other);
        const std::string moving = o.KeyOf("INFO", from->responses[1].id);
        o.Go("INFO", moving);
        const int parent = o.Entry(Kind(FormEntryKind::ParentLookupField));
        QVERIFY(parent > 0);
        QPushButton* lookup = Button(o, parent, "Lookup");
        QVERIFY(lookup);
        auto choose = [&](const RawTopic* topic) {
            test::OnNextModal([&o, topic, from](QWidget* modal) {
                auto* dialog = qobject_cast<frmParentLookup*>(modal);
                QVERIFY(dialog);
                QCOMPARE(dialog->windowTitle(), QString("Select Parent Dialog"));
                QCOMPARE(dialog->Model()->At(dialog->List()->currentIndex().row()).key,
                         QString::fromStdString(o.KeyOf("DIAL", from->id)));
                QVERIFY(dialog->Select(QString::fromStdString(o.KeyOf("DIAL", topic->id))));
                dialog->accept();
            });
            lookup->click();
        };
        // Another kind of topic is refused, the topic of now stays.
        choose(other);
        QVERIFY(o.s.prompt.Saw("A response can only move to a topic of its own kind (topic, voice, greeting, "
                               "persuasion or journal)."));
        QCOMPARE(std::get<std::string>(o.ed.Entries().Item(parent).Data), from->id);
        choose(to);
        QCOMPARE(o.ed.Form()->EditorOf(parent)->findChild<QLineEdit*>()->text(), QString::fromStdString(to->id));
        // Moved when the form is committed: at the end of its new topic, gone from the old one.
        o.Go("DIAL", o.KeyOf("DIAL", to->id));
        QCOMPARE(o.file.Rec(moving).ParentKey.str(), o.KeyOf("DIAL", to->id));
        TopicModel* model = o.ed.Topic()->Model();
        QCOMPARE(model->rowCount(), int(to->responses.size() + 1));
        QCOMPARE(model->KeyOf(model->rowCount() - 1), QString::fromStdString(moving));
        o.Go("DIAL", o.KeyOf("DIAL", from->id));
        QCOMPARE(model->rowCount(), int(from->responses.size() - 1));
        QCOMPARE(model->RowOf(moving), -1);
        QVERIFY(o.file.Changed);
    }

    // The lookup over masters that are not open: said, loaded on request, the value selected.
    void theLookupOffersMastersThatAreNotOpenAndSelectsTheValue() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        const std::string master = s.Copy("firemoth.esm");
        // A script of the master, named by an NPC of a plug-in that depends on it.
        std::string script;
        const auto bytes = test::ReadBytes(master);
        for (const test::RawSubrecord& sub : test::RawSubrecords(bytes))
            if (script.empty() && sub.record == "SCPT" && sub.type == "SCHD")
                script = std::string(sub.data.begin(), sub.data.begin() + 32).c_str();
        QVERIFY(!script.empty());
        const auto plugin = s.DataFolder() / "uses_firemoth.esp";
        test::WriteBytes(plugin, test::Concat({test::HeaderRecord(1, 1, {{"firemoth.esm", 863297}, {"Missing.esm", 1}}),
                                               test::RecordBytes("NPC_", {{"NAME", test::Text("fm_guide")},
                                                                          {"SCRI", test::Text(script)}})}));
        s.Window().OpenFiles({QString::fromStdString(plugin.string())});
        frmLowLevelEdit& ed = s.Window().Editor();
        esfile& file = *s.context.files.Find(plugin.string());
        ed.GotoRecord("NPC_", file.Records()[1].Key, plugin.string(), {}, true);
        int field = 0, n = 0;
        for (auto& e : ed.Entries())
            if (++n && e.value.FormEntryType == FormEntryKind::TextLookupField && e.value.SubrecordType == "SCRI")
                field = n;
        QVERIFY(field > 0);
        bool checked = false;
        test::OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmLookup*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Types()->currentText(), QString("SCPT"));
            QVERIFY(dialog->MastersNotice()->isVisibleTo(dialog));
            QCOMPARE(dialog->MastersNotice()->text(),
                     QString("The master files firemoth.esm, Missing.esm are not open: their records are not listed."));
            QVERIFY(dialog->LoadMastersButton()->isVisibleTo(dialog));
            QCOMPARE(dialog->Model()->rowCount(), 0);
            dialog->LoadMastersButton()->click();
            QVERIFY(s.prompt.Saw("Not found in the data folder " + s.DataFolder().string() + "/: Missing.esm."));
            QCOMPARE(dialog->MastersNotice()->text(),
                     QString("The master file Missing.esm is not open: its records are not listed."));
            QVERIFY(dialog->Model()->rowCount() > 1);
            const int row = dialog->Grid()->currentIndex().row();
            QCOMPARE(dialog->Model()->At(row).key, QString::fromStdString(script));
            QCOMPARE(dialog->Model()->At(row).cells[1], QString("firemoth.esm"));
            checked = true;
            dialog->accept();
        });
        ed.Form()->EditorOf(field)->findChild<QPushButton*>(QString("Lookup%1").arg(field))->click();
        QVERIFY(checked);
        const esfile* loaded = s.context.files.Find(master);
        QVERIFY(loaded && loaded->IsSupport);
        QVERIFY(!s.context.files.Find((s.DataFolder() / "Missing.esm").string())); // nothing left open for it
        QTRY_VERIFY(s.Window().FileButtons().Keys().contains(QString::fromStdString(master)));
        QCOMPARE(file.Rec(file.Records()[1].Key).ID, std::string("fm_guide"));
    }
};

QTEST_MAIN(PropertyFormTest)
#include "PropertyFormTest.moc"
