// Menus, toolbars and the recent-files list of the main window.
#include "ui/frmMain.h"

#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/FileButtonBar.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/frmLowLevelEdit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vellum::ui {

QAction* frmMain::AddCommand(const QString& name, const QString& caption, const QString& iconKey,
                             const QKeySequence& keys) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!iconKey.isEmpty())
        action->setIcon(CommandIcon(iconKey));
    if (!keys.isEmpty())
        action->setShortcut(keys);
    commands_.insert(name, action);
    return action;
}

// A toolbar key that runs the same command as a menu item.
void frmMain::Alias(const QString& key, const QString& name, const QString& tooltip) {
    QAction* action = commands_.value(name);
    if (!tooltip.isEmpty())
        action->setToolTip(tooltip);
    commands_.insert(key, action);
}

void frmMain::CreateActions() {
    auto on = [this](const QString& name, auto slot) {
        connect(commands_.value(name), &QAction::triggered, this, slot);
    };
    auto toEditor = [this](const QString& name, auto call) {
        connect(commands_.value(name), &QAction::triggered, this, [this, call] { (editor_->*call)(); });
    };

    AddCommand("mnuFileNew", "&New", "FileNew", QKeySequence::New);
    AddCommand("mnuFileOpen", "&Open", "FileOpen", QKeySequence::Open);
    AddCommand("mnuFileOpenLoadOrder", "Open &Load Order...");
    AddCommand("mnuFileClose", "&Close", {}, QKeySequence(Qt::CTRL | Qt::Key_W));
    AddCommand("mnuFileSave", "&Save", "FileSave", QKeySequence::Save);
    AddCommand("mnuFileSaveAs", "Save &As", {}, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    AddCommand("mnuFileChangeType", "Change &File Type");
    AddCommand("mnuSupportFiles", "Su&pport Files", "FileSupport");
    AddCommand("mnuFileEnableEdit", "&Edit Support File");
    AddCommand("mnuFileIndex", "Rebuild ID &Index for Current File");
    AddCommand("mnuFileIndexManager", "&Manage ID Indices", "FileManageIndices");
    AddCommand("mnuFileStatistics", "Statis&tics");
    AddCommand("mnuFileDump", "&Dump to Text File");
    AddCommand("mnuFileExit", "E&xit", "Exit", QKeySequence::Quit);
    on("mnuFileNew", &frmMain::NewFile);
    on("mnuFileOpen", [this] { OpenFiles({}); });
    auto isClipboard = [this] {
        const esfile* f = context_.files.Find(currentKey_.toStdString());
        return !f || f->Clipboard;
    };
    on("mnuFileClose", [this, isClipboard] {
        if (!editor_->Busy() && !isClipboard())
            CloseFile(currentKey_, true);
    });
    on("mnuFileSave", [this, isClipboard] {
        if (isClipboard())
            return;
        editor_->Save();
        SaveFile(false);
    });
    on("mnuFileSaveAs", [this] { SaveFile(true); });
    on("mnuFileChangeType", &frmMain::ChangeFileType);
    on("mnuFileEnableEdit", [this] {
        if (esfile* f = context_.files.Find(currentKey_.toStdString())) {
            f->IsSupport = false;
            RebuildFileButtons(currentKey_);
            editor_->Showfile(currentKey_);
        }
    });
    toEditor("mnuFileIndex", &frmLowLevelEdit::RebuildIndex);
    on("mnuFileExit", &QWidget::close);

    AddCommand("mnuEditMarkAll", "Mark &All Entries");
    AddCommand("mnuEditEditMarked", "&Edit Marked Entries");
    AddCommand("mnuEditUnmark", "Unmar&k Entries");
    AddCommand("mnuEditDelete", "&Delete Selected/Marked", "Delete", QKeySequence::Delete);
    AddCommand("mnuEditCut", "Cu&t Selected/Marked", "Cut", QKeySequence::Cut);
    AddCommand("mnuEditCopy", "&Copy Selected/Marked", "Copy", QKeySequence::Copy);
    AddCommand("mnuEditPaste", "&Paste - Replace Records with same IDs", "PasteReplace", QKeySequence::Paste);
    AddCommand("mnuEditPasteAdd", "Paste - &Merge Records with same IDs", "PasteMerge");
    AddCommand("mnuEditPasteSubrecords", "Paste Marked Su&brecords into Record", "PasteInto");
    AddCommand("mnuClearClipboard", "C&lear Clipboard");
    AddCommand("mnuEditRawData", "Edit/Analyse Ra&w Data");
    AddCommand("mnuEditFind", "&Find", "Find", QKeySequence::Find);
    AddCommand("mnuEditFindAll", "Find All", "FindAll", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    AddCommand("mnuEditFilter", "F&ilter Records", {}, QKeySequence(Qt::CTRL | Qt::Key_L));
    AddCommand("mnuEditFindRefs", "Browse Record Refere&nces");
    AddCommand("mnuEditSortSubrecords", "Sort Record Subrecords");
    for (const char* flag : {"mnuEditEnableDelete", "mnuEditConfirmDelete", "mnuEditConfirmCut",
                             "mnuEditClipboardMode", "mnuEditSafeEditing"})
        AddCommand(flag, {})->setCheckable(true);
    commands_["mnuEditEnableDelete"]->setText("Enable Deleting");
    commands_["mnuEditConfirmDelete"]->setText("Confirm Delete Operations");
    commands_["mnuEditConfirmCut"]->setText("Confirm Cut Operations");
    commands_["mnuEditClipboardMode"]->setText("Replace Clipboard Contents");
    commands_["mnuEditSafeEditing"]->setText("Safe Editing");
    on("mnuEditEnableDelete", [this] { ToggleFlag("mnuEditEnableDelete"); });
    on("mnuEditConfirmDelete", [this] { ToggleFlag("mnuEditConfirmDelete"); });
    on("mnuEditConfirmCut", [this] { ToggleFlag("mnuEditConfirmCut"); });
    on("mnuEditClipboardMode", [this] { ToggleFlag("mnuEditClipboardMode"); });
    on("mnuEditSafeEditing", [this] { ToggleSafeEditing(false); });

    toEditor("mnuEditMarkAll", &frmLowLevelEdit::MarkAll);
    toEditor("mnuEditEditMarked", &frmLowLevelEdit::ShowMarked);
    toEditor("mnuEditUnmark", &frmLowLevelEdit::UnMark);
    toEditor("mnuClearClipboard", &frmLowLevelEdit::ClearClipboard);
    toEditor("mnuEditFilter", &frmLowLevelEdit::FocusFilter);

    AddCommand("mnuInsertRecord", "&Record", "InsertRecord");
    AddCommand("mnuInsertSubRecord", "&Subrecord", "InsertSubrecord");

    AddCommand("mnuToolsCleanSave", "&Save Game Cleaner");
    AddCommand("mnuToolsConflicts", "&Conflicts...");
    AddCommand("mnuToolsCleanPlugin", "Clean &Plug-in...");
    AddCommand("mnuToolsOptions", "&Options", "Options");
    AddCommand("mnuToolsFormatEdit", "&Edit (Caution Advised)");
    AddCommand("mnuToolsFormatRevert", "&Revert to Default");
    AddCommand("mnuATManage", "&Manage/Scan for Additional Tools");
    on("mnuToolsCleanSave", &frmMain::SaveGameCleaner);
    on("mnuToolsOptions", &frmMain::ShowOptions);
    on("mnuToolsFormatEdit", &frmMain::EditTemplate);
    on("mnuToolsFormatRevert", &frmMain::RevertTemplate);

    AddCommand("mnuHelpCredits", "&Credits", "Help", QKeySequence::HelpContents);
    on("mnuHelpCredits", [this] { tabs_->setCurrentIndex(1); });

    // Toolbar-only commands.
    AddCommand("SafeEditing", {}, "SafeEditingOn")->setCheckable(true);
    on("SafeEditing", [this] { ToggleSafeEditing(true); });
    AddCommand("Back", "Back", "Back", QKeySequence(Qt::ALT | Qt::Key_Left));
    AddCommand("Forward", "Forward", "Forward", QKeySequence(Qt::ALT | Qt::Key_Right));
    AddCommand("UpLevel", "Up", "UpLevel", QKeySequence(Qt::ALT | Qt::Key_Up));
    commands_["UpLevel"]->setToolTip("Navigate up one level");
    toEditor("Back", &frmLowLevelEdit::Back);
    toEditor("Forward", &frmLowLevelEdit::Forward);
    toEditor("UpLevel", &frmLowLevelEdit::UpLevel);
    AddCommand("Debug", "Debug", "Debug")->setToolTip("Developer's Debug Window");
    on("Debug", &frmMain::ToggleDebugWindow);
    AddCommand("Orientation", "Layout", "Orientation")->setToolTip("Change Layout");
    on("Orientation", &frmMain::ToggleLayout);

    Alias("FileNew", "mnuFileNew", {});
    Alias("FileOpen", "mnuFileOpen", "Open");
    Alias("FileSupport", "mnuSupportFiles", "Support Files");
    Alias("FileManageIndices", "mnuFileIndexManager", "Manage ID Indices");
    Alias("FileSave", "mnuFileSave", "Save");
    Alias("Delete", "mnuEditDelete", "Delete selection");
    Alias("Cut", "mnuEditCut", "Cut selection");
    Alias("Copy", "mnuEditCopy", "Copy selection");
    Alias("PasteReplace", "mnuEditPaste", "Paste - Replace records with same IDs");
    Alias("PasteMerge", "mnuEditPasteAdd", "Paste - Merge records with same IDs");
    Alias("PasteInto", "mnuEditPasteSubrecords", "Paste marked subrecords on clipboard into record");
    Alias("Find", "mnuEditFind", "Find Text/Record/Subrecord");
    Alias("FindAll", "mnuEditFindAll", "Find all Occurences of Text/Record/Subrecord");
    Alias("InsertRecord", "mnuInsertRecord", "Insert a new record");
    Alias("InsertSubrecord", "mnuInsertSubRecord", "Insert a new subrecord into the selected record");

    // The commands whose windows live beside the editor are connected by ConnectToolWindows
    // (ToolWindowCommands.cpp); UpdateEditCommands enables them for the selection.
    for (const char* name : {"Back", "Forward", "UpLevel"})
        commands_[name]->setEnabled(false);
}

void frmMain::CreateMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileOpenLoadOrder", "mnuFileClose", "mnuFileSave",
                             "mnuFileSaveAs"})
        file->addAction(commands_[name]);
    file->addSeparator();
    for (const char* name : {"mnuFileChangeType", "mnuSupportFiles", "mnuFileEnableEdit", "mnuFileIndex",
                             "mnuFileIndexManager", "mnuFileStatistics", "mnuFileDump"})
        file->addAction(commands_[name]);
    recentMenu_ = file;
    recentSeparator_ = file->addSeparator();
    recentSeparator_->setVisible(false);
    file->addSeparator();
    file->addAction(commands_["mnuFileExit"]);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    for (const char* name : {"mnuEditMarkAll", "mnuEditEditMarked", "mnuEditUnmark"})
        edit->addAction(commands_[name]);
    edit->addSeparator();
    for (const char* name : {"mnuEditDelete", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditPasteAdd",
                             "mnuEditPasteSubrecords", "mnuClearClipboard"})
        edit->addAction(commands_[name]);
    edit->addSeparator();
    for (const char* name : {"mnuEditRawData", "mnuEditFind", "mnuEditFindAll", "mnuEditFilter", "mnuEditFindRefs",
                             "mnuEditSortSubrecords"})
        edit->addAction(commands_[name]);
    edit->addSeparator();
    QMenu* options = edit->addMenu("Editing &Options");
    options->setObjectName("mnuEditOptions");
    for (const char* name : {"mnuEditEnableDelete", "mnuEditConfirmDelete", "mnuEditConfirmCut",
                             "mnuEditClipboardMode", "mnuEditSafeEditing"})
        options->addAction(commands_[name]);

    QMenu* insert = menuBar()->addMenu("&Insert");
    insert->setObjectName("mnuInsert");
    insert->addAction(commands_["mnuInsertRecord"]);
    insert->addAction(commands_["mnuInsertSubRecord"]);

    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("mnuTools");
    tools->addAction(commands_["mnuToolsCleanSave"]);
    tools->addAction(commands_["mnuToolsConflicts"]);
    tools->addAction(commands_["mnuToolsCleanPlugin"]);
    tools->addAction(commands_["mnuToolsOptions"]);
    QMenu* format = tools->addMenu("&Format Template");
    format->setObjectName("mnuToolsFormat");
    format->addAction(commands_["mnuToolsFormatEdit"]);
    format->addAction(commands_["mnuToolsFormatRevert"]);
    tools->addSeparator();
    tools->addAction(commands_["mnuATManage"]);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    help->addAction(commands_["mnuHelpCredits"]);
}

void frmMain::CreateToolbars() {
    auto bar = [this](const char* name, std::initializer_list<const char*> keys) {
        QToolBar* tb = addToolBar(QString::fromLatin1(name));
        tb->setObjectName(QString::fromLatin1(name));
        for (const char* key : keys)
            tb->addAction(commands_[key]);
        toolbars_ << tb;
    };
    bar("tbFile", {"FileNew", "FileOpen", "FileSupport", "FileManageIndices", "FileSave"});
    bar("tbClipboard", {"Delete", "Cut", "Copy", "PasteReplace", "PasteMerge", "PasteInto", "Find", "FindAll",
                        "SafeEditing"});
    bar("tbInsert", {"InsertRecord", "InsertSubrecord"});
    bar("tbNav", {"Back", "Forward", "UpLevel"});
    bar("tbDebug", {"Debug"});
    bar("tbOrientation", {"Orientation"});
    addToolBarBreak();
    fileBar_ = new FileButtonBar(this);
    addToolBar(fileBar_);
    connect(fileBar_, &FileButtonBar::fileClicked, this, &frmMain::FileButtonClicked);
}

void frmMain::RebuildRecentMenu() {
    for (QAction* a : recentActions_) {
        recentMenu_->removeAction(a);
        delete a;
    }
    recentActions_.clear();
    std::size_t n = 0;
    QAction* before = recentMenu_->actions().value(recentMenu_->actions().indexOf(recentSeparator_) + 1);
    for (const RecentFiles::Entry& e : recent_.Entries()) {
        auto* a = new QAction(FromFileText(RecentFiles::Caption(++n, e.display)), recentMenu_);
        a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(n));
        a->setData(QString::fromStdString(e.path));
        connect(a, &QAction::triggered, this, [this, path = a->data().toString()] { OpenFiles({path}); });
        recentMenu_->insertAction(before, a);
        recentActions_ << a;
    }
    recentSeparator_->setVisible(!recentActions_.isEmpty());
}

void frmMain::RefreshFlagChecks() {
    commands_["mnuEditEnableDelete"]->setChecked(context_.values.EnableDelete);
    commands_["mnuEditConfirmDelete"]->setChecked(context_.values.ConfirmDelete);
    commands_["mnuEditConfirmCut"]->setChecked(context_.values.ConfirmCut);
    commands_["mnuEditClipboardMode"]->setChecked(context_.values.ReplaceClipboard);
    commands_["mnuEditSafeEditing"]->setChecked(context_.values.EnableSafeEdit);
    QAction* button = commands_["SafeEditing"];
    button->setChecked(context_.values.EnableSafeEdit);
    button->setIcon(CommandIcon(context_.values.EnableSafeEdit ? "SafeEditingOn" : "SafeEditingOff"));
    button->setToolTip(context_.values.EnableSafeEdit ? "Safe editing is ENABLED" : "Safe editing is DISABLED");
}

} // namespace vellum::ui
