// The property form of one real record of every record type in the shared plug-ins, from the
// file through the tree, FormBuilder and PropertyForm to the widgets. What each row should show
// comes from the record's raw bytes and the template's text, read here without the codec.
#include "UiTestSupport.h"

#include "TestRecords.h"
#include "model/esfile.h"
#include "ui/BitFieldEditor.h"
#include "ui/LegacyText.h"
#include "ui/NamedValueField.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/fhByteControl.h"
#include "ui/frmLowLevelEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>

using namespace vellum;
using namespace vellum::ui;

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The format template as plain text: groups of "name = value" lines, instructions left out.
struct TemplateText {
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> groups; // upper-case heading

    explicit TemplateText(const std::string& text) {
        std::vector<std::pair<std::string, std::string>>* group = nullptr;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            std::string line = Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            start = end == std::string::npos ? text.size() : end + 1;
            if (!line.empty() && line.back() == '\r')
                line = Trim(line.substr(0, line.size() - 1));
            if (line.size() > 2 && line.front() == '[' && line.back() == ']')
                group = &groups[Upper(line.substr(1, line.size() - 2))];
            else if (group && !line.empty() && line[0] != '@') {
                const auto eq = line.find('=');
                group->emplace_back(Trim(line.substr(0, eq)), eq == std::string::npos ? "" : Trim(line.substr(eq + 1)));
            }
        }
    }
    const std::vector<std::pair<std::string, std::string>>* Group(const std::string& name) const {
        const auto it = groups.find(Upper(name));
        return it == groups.end() ? nullptr : &it->second;
    }
    const std::string* Name(const std::string& group, const std::string& key) const {
        if (const auto* g = Group(group))
            for (const auto& [n, v] : *g)
                if (Upper(n) == Upper(key))
                    return &v;
        return nullptr;
    }
};

const TemplateText& Template() {
    static const TemplateText t(test::ShippedTemplateText());
    return t;
}

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
    for (std::size_t i = 0; i < b.size(); ++i)
        v |= std::uint64_t(b[i]) << (8 * i);
    if (isSigned && b.size() < 8 && !b.empty() && (b.back() & 0x80))
        v |= ~std::uint64_t{0} << (8 * b.size());
    return static_cast<std::int64_t>(v);
}

std::string TemplateSubrecordType(const std::string& record, const std::string& name, std::size_t size, bool first) {
    if (record == "NPC_" && name == "NPDT" && size == 12)
        return "NPDT_12";
    if (record == "CELL" && name == "DATA" && size == 24)
        return "DATA_24";
    if (record == "CELL" && name == "NAME" && !first)
        return "NAME_NEXT";
    return name;
}

// The properties of one subrecord, by the template's lines in order.
std::vector<Expected> ExpectedOf(const std::string& record, const std::string& sub, ByteSpan d) {
    std::vector<Expected> out;
    const auto* lines = Template().Group(record + "." + sub);
    const std::size_t n = d.size();
    std::size_t pos = 0;
    auto raw = [&](const std::string& caption, std::size_t from) {
        Expected e{caption, "BYTE", {}, record + "." + sub + "." + caption, Bytes(d.begin() + from, d.end())};
        out.push_back(e);
    };
    if (!lines) {
        raw("Unknown Data", 0);
        return out;
    }
    for (const auto& [name, value] : *lines) {
        if (pos >= n)
            break;
        const auto parts = Parts(value);
        const std::string type = Upper(parts[0]);
        const int declared = parts.size() > 1 ? std::atoi(parts[1].c_str()) : 0;
        Expected e{name, type, parts.size() > 2 ? parts[2] : "", record + "." + sub + "." + name};
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
                while (pos < n && d[pos] == 0)
                    ++pos;
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
            double v = 0;
            if (whole && type == "SINGLE")
                std::memcpy(&f, e.bytes.data(), 4), v = f;
            else if (whole)
                std::memcpy(&v, e.bytes.data(), 8);
            e.real = v;
        } else {
            continue; // a type the template does not know takes no bytes
        }
        out.push_back(e);
    }
    if (pos < n)
        raw("Unknown Data", pos);
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

// The subrecords of a record's data: name and data, up to the first that does not fit.
std::vector<std::pair<std::string, ByteSpan>> SubrecordsOf(ByteSpan data) {
    std::vector<std::pair<std::string, ByteSpan>> out;
    for (std::size_t at = 0; data.size() - at >= 8;) {
        std::uint32_t size;
        std::memcpy(&size, data.data() + at + 4, 4);
        if (size > data.size() - at - 8)
            break;
        out.emplace_back(std::string(reinterpret_cast<const char*>(data.data() + at), 4), data.subspan(at + 8, size));
        at += 8 + size;
    }
    return out;
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
            const auto subs = SubrecordsOf(records[i].data);
            for (const auto& sub : subs)
                kinds.insert(sub.first);
            const std::size_t count = subs.size();
            Sample s{path.filename().string(), records[i].type, i, kinds.size(), count};
            auto [it, added] = best.try_emplace(s.type, s);
            if (!added && count <= 60 && (it->second.subrecords > 60 || s.kinds > it->second.kinds))
                it->second = s;
        }
    }
    std::vector<Sample> out;
    for (const auto& [type, s] : best)
        out.push_back(s);
    return out;
}

} // namespace

class FormEndToEndTest : public QObject {
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
        const QString where = QString::fromStdString(want.address);
        QWidget* w = form.EditorOf(n);
        QVERIFY2(w, qPrintable(where));
        QCOMPARE(CaptionOf(form, w), Latin(want.caption));
        const auto* names = want.list.empty() ? nullptr
                                              : Template().Group((want.type == "BITFIELD" ? "@FLAGS." : "@VALUES.") + want.list);
        if (want.type == "BITFIELD") {
            auto* bits = qobject_cast<BitFieldEditor*>(w);
            QVERIFY2(bits, qPrintable(where));
            for (int bit = 0; bit < static_cast<int>(std::min<std::size_t>(want.bytes.size(), 4) * 8); ++bit) {
                const bool set = (want.bytes[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1;
                const std::string* name = nullptr;
                if (names)
                    for (const auto& [key, value] : *names)
                        if (std::strtoull(key.c_str(), nullptr, 0) == (std::uint64_t{1} << bit))
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
            const std::string* name = Template().Name("@VALUES." + want.list, want.text);
            QCOMPARE(field->Choices()->currentText(), name ? Latin(*name) : QString("(unnamed)"));
            return;
        }
        auto* edit = w->findChild<QLineEdit*>(QString("Entry%1").arg(n));
        if (!edit)
            edit = qobject_cast<QLineEdit*>(w);
        QVERIFY2(edit, qPrintable(where));
        QStringList buttons;
        for (QPushButton* b : w->findChildren<QPushButton*>())
            buttons << b->text();
        if (want.type == "SINGLE" || want.type == "DOUBLE") {
            const double shown = edit->text().toDouble();
            if (want.type == "SINGLE")
                QVERIFY2(static_cast<float>(shown) == static_cast<float>(want.real) || std::isnan(want.real),
                         qPrintable(where + ": " + edit->text()));
            else
                QVERIFY2(std::abs(shown - want.real) <= 1e-8 * std::abs(want.real), qPrintable(where + ": " + edit->text()));
            return;
        }
        QVERIFY2(SameText(edit->text(), want.text), qPrintable(where + ": " + edit->text()));
        if (want.type == "STRING" || want.type == "STRINGLIST") {
            const bool file = Template().Name("@FILELOOKUP", want.address) != nullptr;
            QCOMPARE(buttons.contains("Browse..."), file);
            QCOMPARE(buttons.contains("..."), !file); // the multi-line editor
            QCOMPARE(buttons.contains("Lookup"), Template().Name("@TEXTLOOKUP", want.address) && !file);
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
        struct Sub {
            std::string name;
            std::vector<Expected> props;
        };
        std::vector<Sub> subs;
        for (const auto& [name, data] : SubrecordsOf(raw.data))
            subs.push_back({name, ExpectedOf(raw.type, TemplateSubrecordType(raw.type, name, data.size(), subs.empty()),
                                             data)});

        // Selected in the tree, as a user clicks it.
        o.model.BuildRecords(o.Cat(raw.type.c_str()));
        o.Click(o.model.RecordIndex(key));
        QCOMPARE(o.file.CurrentRecordKey, key);
        int sub = -1;
        std::size_t prop = 0, checked = 0;
        for (int page = 0;; ++page) {
            int more = 0;
            int n = 0;
            for (auto& slot : o.ed.Entries()) {
                ++n;
                const esLLFormEntry& e = slot.value;
                if (e.FormEntryType == FormEntryKind::NextPage)
                    more = n;
                if (e.FormEntryType == FormEntryKind::SubrecordHeading) {
                    if (sub >= 0)
                        QCOMPARE(prop, subs[static_cast<std::size_t>(sub)].props.size());
                    ++sub;
                    prop = 0;
                    QVERIFY(sub < static_cast<int>(subs.size()));
                    QVERIFY2(e.Caption.rfind("  Subrecord " + subs[static_cast<std::size_t>(sub)].name, 0) == 0,
                             e.Caption.c_str());
                }
                // A response's topic stands above its subrecords; the topic view's tests check it.
                if (!e.IsData || e.FormEntryType == FormEntryKind::ParentLookupField)
                    continue;
                const auto& want = subs.at(static_cast<std::size_t>(sub)).props;
                QVERIFY2(prop < want.size(), e.PropertyName.c_str());
                CheckProperty(*o.ed.Form(), n, e, want[prop++]);
                if (QTest::currentTestFailed())
                    return;
                ++checked;
            }
            if (!more)
                break;
            qobject_cast<QPushButton*>(o.ed.Form()->EditorOf(more))->click();
            QCOMPARE(o.ed.FormPage(), page + 1);
        }
        QCOMPARE(sub + 1, static_cast<int>(subs.size()));
        if (!subs.empty())
            QCOMPARE(prop, subs.back().props.size());
        QVERIFY(checked > 0 || subs.empty());
    }
};

QTEST_MAIN(FormEndToEndTest)
#include "FormEndToEndTest.moc"
