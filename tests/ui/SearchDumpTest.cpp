// Find and Find All, the dump dialog and the statistics window.
#include "TestPlugin.h"
#include "UiTestSupport.h"

#include "model/TextDump.h"
#include "model/esfile.h"
#include "ui/SearchPanel.h"
#include "ui/TextTableModel.h"
#include "ui/frmDump.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmStatistics.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;
using test::RecordBytes;
using test::Text;

namespace {

Bytes Setting(const std::string& id, const std::string& text) {
    return RecordBytes("GMST", {{"NAME", Text(id)}, {"STRV", Text(text)}});
}

} // namespace

class SearchDumpTest : public QObject {
    Q_OBJECT
private slots:
    void findNeedsTextOrATypeAndOffersNoChildTypes() {
        test::TestPlugins plugins;
        frmSearch find(plugins.templ);
        SearchPanel* p = find.Panel();
        QVERIFY(!find.FindButton()->isEnabled());
        QVERIFY(p->RecordType()->findText("GMST") >= 0);
        QCOMPARE(p->RecordType()->findText("INFO"), -1); // follows its parent
        p->RecordType()->setCurrentText("GMST");
        QVERIFY(find.FindButton()->isEnabled());
        QVERIFY(p->SubrecordType()->findText("STRV") >= 0);
        QCOMPARE(p->SubrecordType()->findText("NPDT"), -1);
        p->RecordType()->setCurrentText("");
        QVERIFY(!find.FindButton()->isEnabled());
        p->Text()->setText("abc  ");
        QVERIFY(find.FindButton()->isEnabled());
        p->MatchCase()->setChecked(true);
        QSignalSpy asked(&find, &frmSearch::FindRequested);
        find.FindButton()->click();
        QCOMPARE(asked.count(), 1);
        const auto c = asked.at(0).at(0).value<SearchCriteria>();
        QCOMPARE(c.Text, std::string("abc"));
        QVERIFY(c.MatchCase);
    }

    void findAllInAllOpenFilesWithGoTo() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "Hello ABC world"), Setting("sTwo", "abc")});
        esfile& b = plugins.Add("b.esp", {Setting("sThree", "xABCx")});
        std::vector<esfile*> open{&a, &b};
        frmSearchAll window(plugins.templ, [&] { return open; }, &a);
        window.Panel()->Text()->setText("abc");
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 2); // the current file only
        window.Panel()->AllFiles()->setChecked(true);
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 3);
        QVERIFY(window.GoToButton()->isEnabled());
        window.Panel()->WholePhrase()->setChecked(true);
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 1);
        QCOMPARE(window.Results()->At(0).cells[2], QString("sTwo"));
        window.Panel()->Text()->setText("ABC");
        window.Panel()->MatchCase()->setChecked(true);
        window.Find();
        QCOMPARE(window.Results()->rowCount(), 0);
        QVERIFY(!window.GoToButton()->isEnabled());

        window.Panel()->MatchCase()->setChecked(false);
        window.Panel()->WholePhrase()->setChecked(false);
        window.Find();
        QSignalSpy goTo(&window, &frmSearchAll::GoTo);
        window.Grid()->setCurrentIndex(window.Results()->index(2, 0));
        window.GoToButton()->click();
        QCOMPARE(goTo.count(), 1);
        QCOMPARE(goTo.at(0).at(0).toString(), QString::fromStdString(b.FileName));
        QCOMPARE(goTo.at(0).at(1).toString(), QString("GMST1"));
        QCOMPARE(goTo.at(0).at(2).toString(), QString("STRV"));
        QVERIFY(a.Rec("GMST1").Packed); // searching left the records packed
    }

    void dumpShowsTheTextWritten() {
        test::PromptRecorder prompt;
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "Hello")});
        const test::TempDir dumps;
        frmDump dialog(a, dumps.path());
        QCOMPARE(dialog.windowTitle(), QString("Dump to Text File - a.esp"));
        dialog.SetMode(2);
        dialog.Headers()->setChecked(true);
        dialog.Layouts()->button(1)->setChecked(true);
        QCOMPARE(dialog.Options().Mode, 2);
        QVERIFY(!dialog.Options().TabDelimited);
        dialog.DumpToFile();
        QVERIFY(std::filesystem::exists(dumps / "a.esp.txt"));
        QVERIFY(dialog.Text()->toPlainText().contains("Record Name:GMST"));
        QVERIFY(dialog.Text()->toPlainText().contains("PROPERTY "));
        QVERIFY(dialog.Result()->text().startsWith("The dumped text has been saved to \n"));
        QCOMPARE(dialog.CancelButton()->text(), QString("&OK"));
        QVERIFY(!a.Busy);
    }

    void statisticsShowTheFigures() {
        test::TestPlugins plugins;
        esfile& a = plugins.Add("a.esp", {Setting("sOne", "x"), Setting("sTwo", "y")}, {"Morrowind.esm"});
        frmStatistics window(a);
        QCOMPARE(window.Field("Title"), QString("a.esp"));
        QVERIFY(window.Field("Size").endsWith(" bytes"));
        QCOMPARE(window.Field("Type"), QString(" Plugin file"));
        QCOMPARE(window.Field("Records"), QString("2"));
        QCOMPARE(window.Types()->rowCount(), 2); // TES3 and GMST
        QCOMPARE(window.Types()->At(1).cells, QStringList({"GMST", "2"}));
        QCOMPARE(window.Masters()->count(), 1);
        QCOMPARE(window.Masters()->item(0)->text(), QString("Morrowind.esm"));
    }
};

QTEST_MAIN(SearchDumpTest)
#include "SearchDumpTest.moc"
