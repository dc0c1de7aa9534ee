// Dialogue by topic: a topic's responses read together in the order the game tests them, a
// response's form with its topic and the parent lookup that moves it; the lookup window over
// masters that are not open.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/esFiles.h"
#include "model/ByteCast.h"
#include "model/esfile.h"
#include "ui/FileButtonBar.h"
#include "ui/LegacyText.h"
#include "ui/PropertyForm.h"
#include "ui/RecordTreeModel.h"
#include "ui/TopicModel.h"
#include "ui/TopicView.h"
#include "ui/frmLookup.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmParentLookup.h"
#include "ui/TextTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <map>

using namespace vellum;
using namespace vellum::ui;

namespace {

using test::RawResponse;
using test::RawTopic;

int FindEntry(esLLFormEntries& entries, FormEntryKind type) {
    int n = 0;
    for (auto& e : entries) {
        ++n;
        if (e.value.FormEntryType == type)
            return n;
    }
    return 0;
}

} // namespace

class TopicViewTest : public QObject {
    Q_OBJECT
private slots:
    void aTopicListsItsResponsesInTheOrderTheyAreTested() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        QVERIFY(test::ShowActive(o.w));
        const std::vector<RawTopic> topics = test::RawTopics(test::ReadBytes(o.path));
        const RawTopic* biggest = &topics.front();
        for (const RawTopic& t : topics)
            if (t.responses.size() > biggest->responses.size())
                biggest = &t;
        QVERIFY(biggest->responses.size() > 50);
        TopicView* view = o.ed.Topic();
        QVERIFY(view->isHidden());
        o.Go("DIAL", o.KeyOf("DIAL", biggest->id));
        QVERIFY(view->isVisible());
        TopicModel* model = view->Model();
        QCOMPARE(model->rowCount(), int(biggest->responses.size()));

        std::map<std::string, const RawResponse*> byId;
        for (const RawResponse& i : biggest->responses)
            byId[i.id] = &i;
        auto cell = [&](int row, int column) { return model->index(row, column).data().toString(); };
        auto id = [&](int row) { return ToFileText(cell(row, TopicModel::kId)); };
        for (int row = 0; row < model->rowCount(); ++row) {
            const RawResponse& info = *byId.at(id(row));
            if (row + 1 < model->rowCount() && byId.count(info.next))
                QCOMPARE(id(row + 1), info.next);
            QVERIFY(cell(row, TopicModel::kSpeaker).startsWith(FromFileText(info.speaker)));
            std::string text = info.text;
            std::replace(text.begin(), text.end(), '\r', ' ');
            std::replace(text.begin(), text.end(), '\n', ' ');
            QCOMPARE(cell(row, TopicModel::kText), FromFileText(text.substr(0, text.find('\0'))));
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
        // The response's form names its topic.
        const int parent = FindEntry(o.ed.Entries(), FormEntryKind::ParentLookupField);
        QVERIFY(parent > 0);
        QCOMPARE(o.ed.Form()->EditorOf(parent)->findChild<QLineEdit*>()->text(), QString::fromStdString(biggest->id));
        // Other records hide the topic view.
        o.Go("GLOB", o.NthKey("GLOB", 0));
        QVERIFY(view->isHidden());
    }

    void theParentLookupMovesAResponseToAnotherTopic() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("antares_big_mod_1.2.esp");
        const std::vector<RawTopic> topics = test::RawTopics(test::ReadBytes(o.path));
        // A response of one topic, another topic of the same kind and one of another kind.
        const RawTopic* from = nullptr;
        const RawTopic* to = nullptr;
        const RawTopic* other = nullptr;
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
        const int parent = FindEntry(o.ed.Entries(), FormEntryKind::ParentLookupField);
        QVERIFY(parent > 0);
        auto* lookup = o.ed.Form()->EditorOf(parent)->findChild<QPushButton*>(QString("Lookup%1").arg(parent));
        QVERIFY(lookup);

        // Another kind of topic is refused, the topic of now stays.
        test::OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmParentLookup*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Select Parent Dialog"));
            QCOMPARE(dialog->Model()->At(dialog->List()->currentIndex().row()).key,
                     QString::fromStdString(o.KeyOf("DIAL", from->id)));
            QVERIFY(dialog->Select(QString::fromStdString(o.KeyOf("DIAL", other->id))));
            dialog->accept();
        });
        lookup->click();
        QVERIFY(o.s.prompt.Saw("A response can only move to a topic of its own kind (topic, voice, greeting, "
                               "persuasion or journal)."));
        QCOMPARE(std::get<std::string>(o.ed.Entries().Item(parent).Data), from->id);

        test::OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmParentLookup*>(modal);
            QVERIFY(dialog->Select(QString::fromStdString(o.KeyOf("DIAL", to->id))));
            dialog->accept();
        });
        lookup->click();
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

    void theLookupOffersMastersThatAreNotOpenAndSelectsTheValue() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        const std::string master = s.Copy("firemoth.esm");
        // A script of the master, named by an NPC of a plug-in that depends on it.
        std::string script;
        const auto bytes = test::ReadBytes(master);
        for (const test::RawSubrecord& sub : test::RawSubrecords(bytes))
            if (sub.record == "SCPT" && sub.type == "SCHD") {
                script.assign(sub.data.begin(), sub.data.begin() + 32);
                script = script.substr(0, script.find('\0'));
                break;
            }
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
        for (auto& e : ed.Entries()) {
            ++n;
            if (e.value.FormEntryType == FormEntryKind::TextLookupField && e.value.SubrecordType == "SCRI")
                field = n;
        }
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

QTEST_MAIN(TopicViewTest)
#include "TopicViewTest.moc"
