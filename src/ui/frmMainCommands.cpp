// Commands of the main window that toggle flags, ask their questions or show small windows.
#include "ui/frmMain.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/Icons.h"
#include "ui/Messages.h"
#include "ui/StatusProgress.h"
#include "ui/Version.h"
#include "ui/frmChangeFileType.h"
#include "ui/frmConfigEditor.h"
#include "ui/frmDebug.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmOptions.h"

#include <QAction>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <system_error>

namespace vellum::ui {

void frmMain::ToggleSafeEditing(bool fromToolbar) {
    if (context_.values.EnableSafeEdit) {
        if (CurrentPrompt().Ask(SafeEditingQuestion(fromToolbar), Buttons::YesNo) == Answer::Yes)
            context_.values.EnableSafeEdit = false;
    } else {
        context_.values.EnableSafeEdit = true;
    }
    RefreshFlagChecks();
}

void frmMain::ToggleFlag(const QString& name) {
    if (name == "mnuEditEnableDelete") {
        context_.values.EnableDelete = !context_.values.EnableDelete;
        editor_->SetEnableDelete();
    } else if (name == "mnuEditConfirmDelete") {
        context_.values.ConfirmDelete = !context_.values.ConfirmDelete;
    } else if (name == "mnuEditConfirmCut") {
        context_.values.ConfirmCut = !context_.values.ConfirmCut;
    } else if (name == "mnuEditClipboardMode") {
        context_.values.ReplaceClipboard = !context_.values.ReplaceClipboard;
    }
    RefreshFlagChecks();
}

void frmMain::EditTemplate() {
    if (editor_->Busy())
        return;
    if (context_.files.Count() > 1) { // the clipboard file counts
        const Answer a = CurrentPrompt().Ask(
            "All open files must be closed in to edit the format template. Do you wish to close all open "
            "files (Yes) or cancel this process (No)?",
            Buttons::YesNo);
        if (a != Answer::Yes)
            return;
        editor_->ClearClipboard();
        for (const std::string& key : context_.FileKeys()) {
            const esfile* f = context_.files.Find(key);
            if (f && !f->Clipboard && !CloseFile(QString::fromStdString(key), false))
                return;
        }
    }
    // The window may open Vellum.ini too: it must show the settings in force, and what it
    // leaves there is read back when it closes.
    context_.SaveSettings();
    // Modal for the application: no record may be decoded under a template that is being edited.
    auto* window = new frmConfigEditor(context_.TemplatePath().string(), context_.folders.UserData(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    // Read again on every save and once more when the window goes, so that what is on disk is
    // what decodes the next record.
    connect(window, &frmConfigEditor::TemplateSaved, this, &frmMain::ReloadTemplate);
    connect(window, &QObject::destroyed, this, &frmMain::ReloadConfiguration);
    window->show();
}

void frmMain::RevertTemplate() {
    const Answer a = CurrentPrompt().Ask(
        "Revert to default (install) settings? This will undo all changes you have made to the format "
        "template since installing the editor.",
        Buttons::YesNo, "Confirm File Revert");
    if (a != Answer::Yes)
        return;
    std::error_code ec;
    std::filesystem::copy_file(context_.folders.DefaultTemplateFile(), context_.TemplatePath(),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        CurrentPrompt().Message("The default format template could not be copied: " + ec.message());
        return;
    }
    ReloadTemplate();
}

void frmMain::ReloadConfiguration() {
    context_.startup.ConfigFileEdited(context_.TemplatePath().filename().string());
    context_.LoadEditorSettings();
    ApplySettings();
}

void frmMain::ReloadTemplate() {
    context_.templ.clear();
    context_.templ.OpenFile(context_.TemplatePath().string());
    editor_->RefreshForm();
}

void frmMain::SaveGameCleaner() {
    esfile* file = context_.files.Find(currentKey_.toStdString());
    if (!file || file->FileType() != 2)
        CurrentPrompt().Ask("The current file does not appear to be a save game file. Continue anyway?",
                            Buttons::YesNo);
    // Cleaning itself is not part of the editor: the command asks its question and stops.
}

void frmMain::ChangeFileType() {
    esfile* file = context_.files.Find(currentKey_.toStdString());
    if (editor_->Busy() || !file || file->Clipboard)
        return;
    frmChangeFileType dialog(file->FileType(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.SelectedType() >= 0)
        editor_->ChangeType(dialog.SelectedType());
}

void frmMain::ShowOptions() {
    frmOptions dialog(context_, this);
    connect(&dialog, &frmOptions::viewChanged, editor_, &frmLowLevelEdit::RefreshCaptions);
    if (dialog.exec() == QDialog::Accepted)
        context_.SaveSettings();
    ApplySettings();
}

void frmMain::ApplySettings() {
    RefreshFlagChecks();
    editor_->SetHotTracking();
    editor_->LoadbgImage();
    editor_->RefreshCaptions();
    editor_->RefreshForm();
}

void frmMain::ToggleDebugWindow() {
    if (debug_ && debug_->isVisible()) {
        debug_->hide();
        return;
    }
    if (!debug_) {
        debug_ = new frmDebug(this);
        editor_->SetDebugWindow(debug_);
    }
    debug_->move(geometry().right() + 4, geometry().top());
    debug_->show();
}

void frmMain::ToggleLayout() {
    verticalLayout_ = !verticalLayout_;
    for (QToolBar* bar : toolbars_) {
        removeToolBar(bar);
        addToolBar(verticalLayout_ ? Qt::LeftToolBarArea : Qt::TopToolBarArea, bar);
        bar->show();
    }
    // Once the toolbars have left room for the editor in their new places.
    QTimer::singleShot(0, editor_, &frmLowLevelEdit::ResizeMe);
}

void frmMain::ShowTab(int index) {
    // Another tab leaves no window of the editor open beside it.
    CloseFileWindows();
    if (debug_ && index != 0)
        debug_->hide();
}

} // namespace vellum::ui
