// The main window started as a user starts it: every command whose window lives beside the
// editor is enabled and opens its window.
#include "TestRecords.h"
#include "UiTestSupport.h"

#include "index/References.h"
#include "model/esfile.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/PropertyForm.h"
#include "ui/frmMain.h"
#include "ui/frmReferences.h"
#include "ui/frmScanRelatives.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmSupport.h"
#include "ui/FileButtonBar.h"

#include "ui/SearchPanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;

namespace {

void CloseModal(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

// Runs `act` and names the class of the modal window it opened, which is then closed.
QString ModalOf(const std::function<void()>& act) {
    QString opened;
    test::OnNextModal([&opened](QWidget* modal) {
        opened = modal->metaObject()->className();
        CloseModal(modal);
    });
    act();
    QCoreApplication::processEvents();
    return opened;
}

// Every action of the menu bar, submenus included, in menu order.
void CollectActions(const QList<QAction*>& actions, QList<QAction*>& out) {
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        if (a->menu())
            CollectActions(a->menu()->actions(), out);
        else
            out << a;
    }
}

} // namespace

class MainWindowToolsTest : public QObject {
    Q_OBJECT
private slots:
    void everyToolCommandOpensItsWindow() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const RecordEntry& r = file.Records().at(1);
        o.Go(r.CatKey().c_str(), r.Key);
        w.Command("mnuEditEnableDelete")->trigger();
        const char* const windows[][2] = {
            {"mnuEditRawData", "frmRawData"},         {"mnuFileDump", "frmDump"},
            {"mnuFileStatistics", "frmStatistics"},   {"mnuSupportFiles", "frmSupport"},
            {"mnuFileIndexManager", "frmIndex"},      {"mnuATManage", "frmTools"},
            {"mnuInsertRecord", "frmInsertRecord"},   {"mnuInsertSubRecord", "frmInsertSubrecord"},
            {"mnuEditSortSubrecords", "frmSortSubrecords"}, {"mnuEditDelete", "frmScanRelatives"},
        };
        for (const auto& [command, window] : windows) // named, so a failure says which command
            QCOMPARE(command + (": " + ModalOf([&] { w.Command(command)->trigger(); })),
                     command + QString(": vellum::ui::") + window);
        QCOMPARE(file.Records().at(1).Key, r.Key); // nothing was deleted

        // The form's heading buttons run the same commands: on the record, and on the marks.
        o.Go(r.CatKey().c_str(), r.Key);
        auto* raw = w.Editor().Form()->findChild<QPushButton*>("mnuEditRawData." + QString::fromStdString(r.Key));
        QVERIFY(raw);
        QCOMPARE(ModalOf([raw] { raw->click(); }), QString("vellum::ui::frmRawData"));
        w.Command("mnuEditMarkAll")->trigger();
        w.Command("mnuEditEditMarked")->trigger();
        auto* undo = w.Editor().Form()->findChild<QPushButton*>("mnuEditUnmark.");
        QVERIFY(undo);
        undo->click();
        QTRY_VERIFY(!w.Command("mnuEditUnmark")->isEnabled());

        // A second file header is refused with its message, and the one there is shown.
        const std::size_t records = file.Records().size();
        test::OnNextModal([](QWidget* modal) {
            auto* chooser = qobject_cast<frmInsertRecord*>(modal);
            QVERIFY(chooser && chooser->Select("TES3"));
            chooser->accept();
        });
        w.Command("mnuInsertRecord")->trigger();
        QVERIFY(s.prompt.Saw("The Record could not be added because there is already a TES3 record in the file.\n\n"
                             "Only one TES3 record is allowed per file."));
        QCOMPARE(file.Records().size(), records);
        QCOMPARE(file.CurrentCatKey, std::string("TES3"));
        o.Go(r.CatKey().c_str(), r.Key);

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
    }

    // Started as a new user would, with a plug-in open and a record selected, every command of
    // the menu bar is enabled unless the selection rules say otherwise, and runs without harm.
    void everyCommandIsWiredAndActs() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const RecordEntry r = file.Records().at(1);
        // By ID: a paste may give the record another key.
        auto select = [&] {
            const int at = FindRecordByID(file, r.ID);
            if (at >= 0) w.Editor().GotoRecord(r.CatKey(), file.Records()[at].Key, path, {}, true);
        };
        select();

        // Enable states follow the selection, the marks, the clipboard and the flags.
        auto enabled = [&w](const char* name) { return w.Command(name)->isEnabled(); };
        for (const char* off : {"mnuEditDelete", "mnuEditPaste", "mnuClearClipboard", "mnuEditUnmark", "mnuFileEnableEdit"})
            QVERIFY2(!enabled(off), off);
        QVERIFY(enabled("mnuEditCut") && enabled("mnuEditCopy"));
        QCOMPARE(w.Editor().PopupMenu()->actions()[3]->isEnabled(), false); // the pop-up's Delete
        w.Command("mnuEditEnableDelete")->trigger();
        QVERIFY(enabled("mnuEditDelete"));
        QVERIFY(w.Editor().PopupMenu()->actions()[3]->isEnabled());
        w.Editor().GotoRecord(r.CatKey(), {}, path, {}, true);
        QVERIFY(!enabled("mnuEditRawData") && !enabled("mnuEditFindRefs") && !enabled("mnuInsertSubRecord"));
        QVERIFY(enabled("mnuInsertRecord") && enabled("mnuEditCut"));
        s.context.values.EnableSafeEdit = false; // the copy runs without the wizard
        select();
        w.Command("mnuEditCopy")->trigger();
        select();
        QVERIFY(enabled("mnuEditPaste") && enabled("mnuEditPasteSubrecords") && enabled("mnuClearClipboard"));
        w.Command("mnuEditMarkAll")->trigger();
        QCOMPARE(w.Command("mnuEditDelete")->text(), QString("&Delete Marked"));
        QVERIFY(enabled("mnuEditUnmark") && enabled("mnuEditEditMarked"));
        w.Command("mnuEditUnmark")->trigger();
        QCOMPARE(w.Command("mnuEditDelete")->text(), QString("&Delete"));
        // A support file is read-only until Edit Support File.
        file.IsSupport = true;
        w.ClickFileButton(QString::fromStdString(path));
        select();
        QVERIFY(enabled("mnuFileEnableEdit") && enabled("mnuEditCopy"));
        QVERIFY(!enabled("mnuEditCut") && !enabled("mnuInsertRecord") && !enabled("mnuEditPaste"));
        w.Command("mnuFileEnableEdit")->trigger();
        QVERIFY(!file.IsSupport && enabled("mnuInsertRecord") && !enabled("mnuFileEnableEdit"));
        w.ClickFileButton("<Clipboard>");
        QVERIFY(!enabled("mnuEditCopy") && !enabled("mnuEditPaste") && !enabled("mnuFileClose"));
        w.ClickFileButton(QString::fromStdString(path));
        select();

        // Every command in turn; windows opened are closed, questions answered No.
        s.context.values.ConfirmDelete = s.context.values.ConfirmCut = true;
        s.prompt.defaultAnswer = Answer::No;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                CloseModal(modal);
        });
        closer.start(20);
        QList<QAction*> all;
        CollectActions(w.menuBar()->actions(), all);
        QVERIFY(all.size() > 40);
        // Saving rebuilds the recent-files entries: those collected before are gone then.
        const std::vector<QPointer<QAction>> guarded(all.begin(), all.end());
        for (const QPointer<QAction>& a : guarded) {
            if (!a) continue;
            const QString name = a->objectName();
            if (name == "mnuFileExit" || name == "mnuFileClose") continue;
            if (file.CurrentRecordKey.empty()) select();
            QVERIFY2(a->isEnabled() || name == "mnuFileEnableEdit", qPrintable(name));
            test::AnswerFileDialog({});
            a->trigger();
            QCoreApplication::processEvents();
            QVERIFY2(s.context.files.Find(path), qPrintable(name));
        }
        for (const char* name : {"Debug", "Debug", "Orientation", "Orientation", "SafeEditing", "Back", "Forward",
                                 "UpLevel"}) {
            w.Command(name)->trigger();
            QCoreApplication::processEvents();
        }
        QVERIFY(s.prompt.Saw("Are you sure you want to delete the selected record?"));
        QVERIFY(s.prompt.Saw("Are you sure you want to cut the selected record?"));
        QVERIFY(FindRecordByID(file, r.ID) >= 0); // both were declined
        QVERIFY(!w.findChild<frmReferences*>()); // the Credits tab closed the windows beside the editor

        // Closing the file takes the windows that show its records with it.
        select();
        w.Command("mnuEditFindAll")->trigger();
        w.Command("mnuEditFindRefs")->trigger();
        QVERIFY(w.findChild<frmReferences*>() && w.findChild<frmSearchAll*>());
        w.Command("mnuFileClose")->trigger();
        QVERIFY(!s.context.files.Find(path));
        QVERIFY(!w.findChild<frmReferences*>() && !w.findChild<frmSearchAll*>());

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
        esfile& target = *s.context.files.Find(to);
        const bool targetChanged = target.Changed; // a header whose count was wrong, corrected on loading
        w.Command("mnuEditPaste")->trigger();
        QVERIFY(FindRecordByID(target, r.ID) >= 0);
        QVERIFY(target.Changed);

        // Both undone by keys sent to whatever has the focus, named in the Edit menu first.
        auto* undo = w.findChild<QAction*>("mnuEditUndo");
        auto* redo = w.findChild<QAction*>("mnuEditRedo");
        auto* edit = w.findChild<QMenu*>("mnuEdit");
        QVERIFY(undo && redo && edit);
        emit edit->aboutToShow();
        QCOMPARE(undo->text(), QString("&Undo Paste 1 Record"));
        QVERIFY(!redo->isEnabled());
        emit edit->aboutToHide();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto keys = [](Qt::Key key, Qt::KeyboardModifiers mods) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : QApplication::activeWindow(), key, mods);
        };
        const Bytes original = test::ReadBytes(from);
        keys(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(FindRecordByID(target, r.ID), -1);
        QCOMPARE(target.Changed, targetChanged);
        emit edit->aboutToShow();
        QVERIFY(undo->text().startsWith("&Undo Cut"));
        QCOMPARE(redo->text(), QString("&Redo Paste 1 Record"));
        emit edit->aboutToHide();
        keys(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(FindRecordByID(source, r.ID) >= 0);
        QVERIFY(!source.Changed);
        w.ClickFileButton(QString::fromStdString(from));
        QVERIFY(w.SaveFile(false));
        QCOMPARE(test::ReadBytes(from), original);

        keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(FindRecordByID(source, r.ID), -1);
        QVERIFY(source.Changed);
        keys(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(FindRecordByID(target, r.ID) >= 0);
    }

    // Bytes typed into the raw data window, keys sent to whatever has the focus, are one step
    // of the history; undone, the file saves as it was read.
    void bytesTypedIntoTheRawDataWindowAreOneStep() {
        VELLUM_QREQUIRE_SHARED();
        test::OpenedPlugin o("flin.esp");
        auto& [s, path, w, ed, model, file] = o;
        const Bytes original = test::ReadBytes(path);
        const RecordEntry& r = file.Records().at(1);
        o.Go(r.CatKey().c_str(), r.Key);
        const UndoHistory& history = s.context.files.History();
        const std::size_t steps = history.Count();
        test::OnNextModal([](QWidget* modal) {
            QVERIFY(test::ShowActive(*modal));
            for (const int key : {Qt::Key_4, Qt::Key_1, Qt::Key_4, Qt::Key_2, Qt::Key_4, Qt::Key_3})
                QVERIFY(test::Press(key));
            CloseModal(modal);
        });
        w.Command("mnuEditRawData")->trigger();
        QCOMPARE(history.Count(), steps + 1);
        QCOMPARE(history.UndoName(), std::string("Edit Raw Data"));
        QCOMPARE(file.CurrentData(file.Records().at(1)).at(2), std::uint8_t('C'));
        s.context.files.History().Undo();
        QVERIFY(w.SaveFile(false));
        QCOMPARE(test::ReadBytes(path), original);
    }

    // Load All Support Files finds masters in any letter case, in the data folder and in the
    // data folders of openmw.cfg (the later one winning), and leaves nothing open of a master
    // it could not load.
    void loadAllFindsMastersInEveryDataFolder() {
        test::EditorSession s;
        test::TempDir config;
        const std::filesystem::path mods = config / "mods";
        std::filesystem::create_directories(config / "openmw");
        std::filesystem::create_directories(mods);
        std::ofstream(config / "openmw" / "openmw.cfg") << "data=\"" << s.DataFolder().string() << "\"\ndata=\""
                                                        << mods.string() << "\"\n";
        const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
        const auto master = [](const char* id) { return test::Concat({test::HeaderRecord(1, 1), test::Gmst(id)}); };
        test::WriteBytes(s.DataFolder() / "Morrowind.esm", master("sData"));
        test::WriteBytes(s.DataFolder() / "Mod.esm", master("sOverridden"));
        test::WriteBytes(mods / "mod.ESM", master("sMods"));
        test::WriteBytes(s.DataFolder() / "Short.esm", Bytes(10, 0));
        const std::string plugin = (s.DataFolder() / "p.esp").string();
        test::WriteBytes(plugin, test::Concat({test::HeaderRecord(1, 0, {{"MORROWIND.ESM", 1}, {"mod.esm", 2},
                                                                        {"Gone.esm", 3}, {"short.esm", 4}}),
                                               test::Gmst("sPlugin")}));
        frmMain& w = s.Window();
        w.OpenFiles({QString::fromStdString(plugin)});

        test::OnNextModal([](QWidget* modal) {
            auto* support = qobject_cast<frmSupport*>(modal);
            QVERIFY(support);
            support->LoadAll();
            support->reject();
        });
        w.Command("mnuSupportFiles")->trigger();
        qputenv("XDG_CONFIG_HOME", xdg);

        const std::string data = (s.DataFolder() / "Morrowind.esm").string(), mod = (mods / "mod.ESM").string();
        QCOMPARE(w.FileButtons().Keys(), QStringList({"<Clipboard>", QString::fromStdString(data),
                                                      QString::fromStdString(mod), QString::fromStdString(plugin)}));
        QVERIFY(s.context.files.Find(data)->IsSupport);
        QCOMPARE(s.context.files.Find(mod)->Records().at(1).ID, std::string("sMods"));
        QCOMPARE(s.context.files.Count(), std::size_t(4));
        QCOMPARE(s.prompt.Texts().back(),
                 "These master files were not loaded, as no data folder holds them:\nGone.esm\n\nData folders "
                 "searched:\n" + s.DataFolder().string() + "\n" + mods.string() +
                 "\n\nThese master files could not be loaded:\n" + (s.DataFolder() / "Short.esm").string());
        QVERIFY(!s.context.files.Find(plugin)->Changed);
    }
};

QTEST_MAIN(MainWindowToolsTest)
#include "MainWindowToolsTest.moc"
