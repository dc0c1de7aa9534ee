// Commands of the main window on whole files: new, open, save, save as, close, shutdown.
#include "ui/frmMain.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/FileButtonBar.h"
#include "ui/FileDialogs.h"
#include "ui/FileNaming.h"
#include "ui/LegacyText.h"
#include "ui/StatusProgress.h"
#include "ui/Version.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmTemplateChooser.h"
#include "ui/frmUnload.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>

namespace vellum::ui {
namespace {

std::string FolderWithSlash(const std::filesystem::path& p) {
    std::string s = p.string();
    if (!s.empty() && s.back() != '/')
        s += '/';
    return s;
}

} // namespace

void frmMain::NewFile() {
    if (editor_->Busy())
        return;
    frmTemplateChooser chooser(context_.TemplatesFolder(), this);
    if (chooser.exec() != QDialog::Accepted || chooser.Chosen().isEmpty())
        return;
    std::string key = "NewFile";
    for (int n = 1; context_.files.Exists(key); ++n) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", n);
        key = std::string("NewFile") + digits;
    }
    esfile& file = *context_.files.Add(key);
    const std::string source = (context_.TemplatesFolder() / chooser.Chosen().toStdString()).string();
    {
        BusyGuard busy;
        file.LoadFile(source, true, true, progress_.get());
        progress_->DoneWaiting();
    }
    file.FileExists = false;
    file.FileTitle = file.SaveFileName = file.FileName = key;
    file.IsSupport = false;
    file.Clipboard = false;
    file.Changed = true;
    const QString qkey = QString::fromStdString(key);
    currentKey_ = qkey;
    RebuildFileButtons(qkey);
    ClickFileButton(qkey);
}

void frmMain::OpenFiles(const QStringList& given) {
    if (editor_->Busy())
        return;
    QStringList paths = given;
    if (paths.isEmpty()) {
        paths = AskForFiles(
            this, {FileDialogRequest::OpenMany, "Open", QString::fromStdString(context_.dataFolder.string()),
                   "All Files (*);;Morrowind Data Files (*.esm *.esp *.ess *.ESM *.ESP *.ESS);;Morrowind Master "
                   "Files (*.esm *.ESM);;Morrowind Plugin Files (*.esp *.ESP);;Morrowind Saved Games (*.ess *.ESS)"});
        if (paths.isEmpty())
            return;
    }
    QString opened;
    for (const QString& qpath : paths) {
        const std::string path = QFileInfo(qpath).absoluteFilePath().toStdString();
        if (context_.files.IsOpen(path) || context_.files.Exists(path))
            continue;
        esfile& file = *context_.files.Add(path);
        file.SaveFileName = path;
        file.FileTitle = QFileInfo(qpath).fileName().toStdString();
            int result = 0;
        {
            BusyGuard busy;
            result = file.LoadFile(path, true, true, progress_.get());
            progress_->DoneWaiting();
        }
        if (result == esfile::kMissing) {
            context_.files.Remove(path);
            CurrentPrompt().Message("The file " + path + " could not be found.");
            break;
        }
        if (result != esfile::kLoaded)
            CurrentPrompt().Message("Warning! The Vellum Editor was unable to properly load the file " + path);
        opened = QString::fromStdString(path);
        AddRecentFile(FromFileText(file.FileTitle), QString::fromStdString(file.SaveFileName));
    }
    if (!opened.isEmpty()) {
        RebuildFileButtons(opened);
        ClickFileButton(opened);
    } else {
        RebuildFileButtons(currentKey_);
    }
}

bool frmMain::SaveFile(bool showDialog) {
    esfile* file = context_.files.Find(currentKey_.toStdString());
    if (!file || editor_->Busy())
        return false;
    editor_->Save();
    const std::string key = currentKey_.toStdString();
    const bool official = IsOfficialMaster(key) || IsOfficialMaster(file->SaveFileName);
    if (showDialog || !file->FileExists || official) {
        const int type = file->FileType();
        const std::string dataFolder = FolderWithSlash(context_.dataFolder);
        std::filesystem::path folder = dataFolder;
        if (type == 2 && !official)
            folder = std::filesystem::path(dataFolder).parent_path().parent_path() / "Saves";
        const std::string proposed = DefaultSaveName(file->FileTitle, type, folder);
        const QString filter = type == 2   ? "Save Game Files (*.ess)"
                               : type == 0 ? "Master Files (*.esm)"
                                           : "Plugin Files (*.esp)";
        const QString chosen = AskForFiles(this, {FileDialogRequest::Save, "Save File As",
                                                  QString::fromStdString((folder / proposed).string()), filter})
                                   .value(0);
        if (chosen.isEmpty())
            return false;
        if (official && IsOfficialMaster(chosen.toStdString())) {
            CurrentPrompt().Message("You cannot save to the specified filename because it is an official Morrowind "
                                    "master file. Please select save again and enter a different filename in order "
                                    "to save the file.");
            return false;
        }
        file->SaveFileName = chosen.toStdString();
        file->FileTitle = QFileInfo(chosen).fileName().toStdString();
    }
    if (file->Clipboard) {
        file->Clipboard = false;
        context_.AddClipboardFile();
    }
    AddRecentFile(FromFileText(file->FileTitle), QString::fromStdString(file->SaveFileName));
    const std::string cat = file->CurrentCatKey, rec = file->CurrentRecordKey, sub = file->CurrentSubRecordKey;
    bool saved = false;
    {
        BusyGuard busy;
        file->SortOnSave = context_.values.SortRecordsWhenSaving;
        saved = file->Save(file->SaveFileName, file->FileTitle, true, progress_.get());
        progress_->DoneWaiting();
    }
    if (saved) {
        file->FileExists = true;
        file->Changed = false;
        context_.files.History().MarkSaved(key);
    }
    RebuildFileButtons(currentKey_);
    if (editor_->Showfile(currentKey_) && !cat.empty())
        editor_->GotoRecord(cat, rec, key, sub, false);
    SetCaptionFor(currentKey_);
    return saved;
}

bool frmMain::CloseFile(const QString& given, bool cancelAllowed) {
    const QString key = given.isEmpty() ? currentKey_ : given;
    esfile* file = context_.files.Find(key.toStdString());
    if (!file)
        return true;
    currentKey_ = key;
    if (file->Changed && !file->Clipboard) {
        editor_->Save();
        const Answer a = CurrentPrompt().Ask("Save changes to " + file->FileTitle + " before closing?",
                                             cancelAllowed ? Buttons::YesNoCancel : Buttons::YesNo);
        if (a == Answer::Cancel)
            return false;
        if (a == Answer::Yes) {
            fileBar_->PressButton(key);
            editor_->Showfile(key);
            if (!SaveFile(false))
                return false; // kept open rather than lose the changes the user wanted saved
        }
    }
    CloseFileWindows();
    editor_->FileClosing(key);
    {
        frmUnload unload([this] { return context_.files.ProgAction; }, context_.developer, this);
        unload.show();
        QApplication::processEvents();
        context_.files.Remove(key.toStdString());
    }
    const QStringList keys = [this] {
        QStringList k;
        for (const std::string& s : context_.FileKeys())
            k << QString::fromStdString(s);
        return k;
    }();
    currentKey_ = keys.isEmpty() ? QString() : keys.back();
    RebuildFileButtons(currentKey_);
    if (!currentKey_.isEmpty())
        ClickFileButton(currentKey_);
    return true;
}

bool frmMain::Shutdown() {
    for (const std::string& key : context_.FileKeys()) {
        esfile* file = context_.files.Find(key);
        if (file && !file->Clipboard && file->Changed && !CloseFile(QString::fromStdString(key), false))
            return false;
    }
    recent_.Save(context_.settings);
    SaveGeometry();
    context_.SaveSettings();
    {
        frmUnload unload([this] { return context_.files.ProgAction; }, context_.developer, this);
        unload.show();
        QApplication::processEvents();
        CloseFileWindows();
        editor_->FileClosing(editor_->ShownKey());
        context_.files.Shutdown();
    }
    shutDown_ = true;
    return true;
}

} // namespace vellum::ui
