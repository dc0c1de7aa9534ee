// The small windows: file type, template chooser, options, multi-line editor, splash.
#include "UiTestSupport.h"

#include "TestSupport.h"
#include "ui/EditorContext.h"
#include "ui/frmChangeFileType.h"
#include "ui/frmEditText.h"
#include "ui/frmOptions.h"
#include "ui/frmTemplateChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <fstream>

using namespace vellum;
using namespace vellum::ui;

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void changeFileTypeStartsOnCurrentType() {
        frmChangeFileType master(0);
        QCOMPARE(master.SelectedType(), 0);
        frmChangeFileType odd(7);
        QCOMPARE(odd.SelectedType(), -1); // indeterminate changes nothing
        odd.Select(2);
        QCOMPARE(odd.SelectedType(), 2);
    }

    void templateChooserListsWithoutExtension() {
        test::TempDir dir;
        std::ofstream(dir / "Plugin.esp") << "x";
        std::ofstream(dir / "Master.esm") << "x";
        frmTemplateChooser chooser(dir.path());
        QCOMPARE(chooser.List()->count(), 2);
        QCOMPARE(chooser.List()->item(0)->text(), QString("Master"));
        chooser.List()->setCurrentRow(1);
        chooser.accept();
        QCOMPARE(chooser.Chosen(), QString("Plugin.esp"));
        frmTemplateChooser cancelled(dir.path());
        cancelled.reject();
        QCOMPARE(cancelled.Chosen(), QString());
    }

    void optionsCopyOnOkOnly() {
        EditorContext c;
        c.values.ConfirmCut = false;
        {
            frmOptions dialog(c);
            dialog.Box("ConfirmCut")->setChecked(true);
            dialog.Encoding()->setCurrentIndex(dialog.Encoding()->findData(1251));
            dialog.reject();
        }
        QVERIFY(!c.values.ConfirmCut);
        QCOMPARE(c.codePage, 1252);
        frmOptions dialog(c);
        dialog.Box("ConfirmCut")->setChecked(true);
        dialog.Encoding()->setCurrentIndex(dialog.Encoding()->findData(1251));
        dialog.accept();
        QVERIFY(c.values.ConfirmCut);
        QCOMPARE(c.codePage, 1251);
    }

    void optionsViewChangesShowAtOnceAndCancelUndoes() {
        EditorContext c;
        frmOptions dialog(c);
        int changes = 0;
        connect(&dialog, &frmOptions::viewChanged, [&] { ++changes; });
        dialog.Box("ViewRecordTypes")->setChecked(true);
        QVERIFY(c.values.ViewRecordTypes);
        QCOMPARE(changes, 1);
        dialog.reject();
        QVERIFY(!c.values.ViewRecordTypes);
        QCOMPARE(changes, 2);
    }

    void optionsClearingSafeEditingAsks() {
        EditorContext c;
        test::PromptRecorder prompt;
        prompt.answers = {Answer::No};
        frmOptions dialog(c);
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(dialog.Box("EnableSafeEdit")->isChecked()); // No puts the check back
        QCOMPARE(prompt.calls.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompt.calls[0].text),
                 QString("Safe editing ensures that the editor scans for dependencies when you delete, cut or copy."
                         "Without safe editing it is possible to delete entries that other entries rely on and "
                         "copy entries without the entries that they rely on.\n\nAre you sure you want to TURN "
                         "OFF safe editing?"));
        prompt.answers = {Answer::Yes};
        dialog.Box("EnableSafeEdit")->setChecked(false);
        QVERIFY(!dialog.Box("EnableSafeEdit")->isChecked());
    }

    void editTextKeepsLineEnds() {
        frmEditText crlf("a\r\nb", false);
        QCOMPARE(crlf.Editor()->toPlainText(), QString("a\nb"));
        QCOMPARE(crlf.Text(), QString("a\r\nb"));
        frmEditText lf("a\nb", true);
        QCOMPARE(lf.Text(), QString("a\nb"));
        QString previewed;
        lf.SetPreview([&](const QString& t) { previewed = t; });
        const auto buttons = lf.findChildren<QPushButton*>();
        for (QPushButton* b : buttons)
            if (b->text() == "HT&ML")
                b->click();
        QCOMPARE(previewed, QString("a\nb"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
