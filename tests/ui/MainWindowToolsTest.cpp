// The main window started as a user starts it: every command whose window lives beside the
// editor is enabled and opens its window.
#include "UiTestSupport.h"

#include "index/References.h"
#include "index/esFiles.h"
#include "model/esfile.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"

#include "ui/SearchPanel.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QDialog>
#include <QMenu>
#include <QtTest>

using namespace vellum;
using namespace vellum::ui;

namespace {

// Triggers the command and names the class of the modal window it opened, which is then closed.
QString ModalOf(frmMain& w, const char* command) {
    QString opened;
    test::OnNextModal([&opened](QWidget* modal) {
        opened = modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    w.Command(command)->trigger();
    QCoreApplication::processEvents();
    return opened;
}

} // namespace

class MainWindowToolsTest : public QObject {
    Q_OBJECT
private slots:
    void everyToolCommandOpensItsWindow() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string path = s.Copy("flin.esp");
        w.OpenFiles({QString::fromStdString(path)});
        esfile& file = *s.context.files.Find(path);
        const RecordEntry& r = file.Records().at(1);
        w.Editor().GotoRecord(r.CatKey(), r.Key, path, {}, true);
        QCOMPARE(QString::fromStdString(file.CurrentRecordKey), QString::fromStdString(r.Key));

        for (const char* name : {"mnuEditRawData", "mnuEditFind", "mnuEditFindAll", "mnuEditFindRefs", "mnuFileDump",
                                 "mnuFileStatistics", "mnuSupportFiles", "mnuFileIndexManager", "mnuInsertRecord",
                                 "mnuInsertSubRecord", "mnuEditSortSubrecords", "mnuEditDelete", "mnuEditCut",
                                 "mnuEditCopy", "mnuEditPaste", "mnuEditPasteAdd", "mnuEditPasteSubrecords",
                                 "mnuATManage"})
            QVERIFY2(w.Command(name)->isEnabled(), name);

        QCOMPARE(ModalOf(w, "mnuEditRawData"), QString("vellum::ui::frmRawData"));
        QCOMPARE(ModalOf(w, "mnuFileDump"), QString("vellum::ui::frmDump"));
        QCOMPARE(ModalOf(w, "mnuFileStatistics"), QString("vellum::ui::frmStatistics"));
        QCOMPARE(ModalOf(w, "mnuSupportFiles"), QString("vellum::ui::frmSupport"));
        QCOMPARE(ModalOf(w, "mnuFileIndexManager"), QString("vellum::ui::frmIndex"));
        QCOMPARE(ModalOf(w, "mnuATManage"), QString("vellum::ui::frmTools"));
        QCOMPARE(ModalOf(w, "mnuInsertRecord"), QString("vellum::ui::frmInsertRecord"));
        QCOMPARE(ModalOf(w, "mnuInsertSubRecord"), QString("vellum::ui::frmInsertSubrecord"));
        QCOMPARE(ModalOf(w, "mnuEditSortSubrecords"), QString("vellum::ui::frmSortSubrecords"));
        if (!w.Command("mnuEditDelete")->isEnabled()) w.Command("mnuEditEnableDelete")->trigger();
        QCOMPARE(ModalOf(w, "mnuEditDelete"), QString("vellum::ui::frmScanRelatives"));
        QCOMPARE(ModalOf(w, "mnuEditPasteSubrecords"), QString("vellum::ui::frmMergeOptions"));
        QCOMPARE(file.Records().at(1).Key, r.Key); // nothing was deleted or pasted

        w.Command("mnuEditFind")->trigger();
        auto* find = w.findChild<frmSearch*>();
        QVERIFY(find);
        // Find steps from the current record to the next one of its type, or says there is none.
        find->Panel()->RecordType()->setCurrentText(QString::fromStdString(r.Name));
        const std::size_t asked = s.prompt.calls.size();
        find->FindButton()->click();
        const bool moved = file.CurrentRecordKey != r.Key && file.CurrentRecordKey.starts_with(r.Name);
        QVERIFY(moved || (s.prompt.calls.size() == asked + 1 &&
                          s.prompt.calls.back().text == "No further matches were found."));
        w.Command("mnuEditFindAll")->trigger();
        QVERIFY(w.findChild<frmSearchAll*>());
        w.Command("mnuEditFindRefs")->trigger();
        QVERIFY(w.findChild<frmReferences*>());

        // The tree's pop-up menu reaches the same windows.
        QCOMPARE(w.Editor().PopupMenu()->actions().size(), 15);
        QVERIFY(w.Editor().PopupMenu()->actions()[14]->isEnabled());
    }

    // Cut in one file through the wizard, paste into another: the commands carry the record across.
    void cutFromTheMenuAndPasteIntoASecondFile() {
        VELLUM_QREQUIRE_SHARED();
        test::EditorSession s;
        frmMain& w = s.Window();
        const std::string from = s.Copy("flin.esp"), to = s.Copy("blank.esp");
        w.OpenFiles({QString::fromStdString(from), QString::fromStdString(to)});
        esfile& source = *s.context.files.Find(from);
        const RecordEntry r = source.Records().at(1);
        QVERIFY(!r.ID.empty());
        w.ClickFileButton(QString::fromStdString(from));
        w.Editor().GotoRecord(r.CatKey(), r.Key, from, {}, true);

        bool completed = false;
        test::OnNextModal([&completed](QWidget* modal) {
            auto* wizard = qobject_cast<frmScanRelatives*>(modal);
            QVERIFY(wizard);
            wizard->Start();
            wizard->GoToStep(frmScanRelatives::kFinish);
            wizard->CompleteOperation();
            completed = wizard->Completed();
        });
        w.Command("mnuEditCut")->trigger();
        QVERIFY(completed);
        QCOMPARE(FindRecordByID(source, r.ID), -1);
        QVERIFY(source.Changed);

        w.ClickFileButton(QString::fromStdString(to));
        QCOMPARE(w.Editor().File(), s.context.files.Find(to));
        w.Command("mnuEditPaste")->trigger();
        esfile& target = *s.context.files.Find(to);
        QVERIFY(FindRecordByID(target, r.ID) >= 0);
        QVERIFY(target.Changed);
    }
};

QTEST_MAIN(MainWindowToolsTest)
#include "MainWindowToolsTest.moc"
