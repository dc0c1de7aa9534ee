#pragma once

#include "ui/EditState.h"
#include "ui/RecentFiles.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;

namespace vellum::ui {

class EditorContext;
class FileButtonBar;
class InputBlocker;
class StatusProgress;
class frmDebug;
class frmLowLevelEdit;

// The frame of the editor: menus, toolbars, the file buttons, the status bar with the progress
// bar, and the tabs "Low Level Editor" and "Credits". Commands on whole files are carried out
// here; commands on records go to the low-level editor.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(EditorContext& context, QWidget* parent = nullptr);
    ~frmMain() override;

    // Commands by their menu name ("mnuFileSave") or toolbar key ("FileSave").
    QAction* Command(const QString& name) const;
    StatusProgress& Progress() { return *progress_; }
    FileButtonBar& FileButtons() { return *fileBar_; }
    frmLowLevelEdit& Editor() { return *editor_; }
    EditorContext& Context() { return context_; }
    const RecentFiles& Recent() const { return recent_; }

    QString BaseCaption() const;
    QString CurrentKey() const { return currentKey_; }

    void ClickFileButton(const QString& key);
    // The status of the shown file; windows showing records check their files then.
    void SetStatusText();
    void AddRecentFile(const QString& display, const QString& path);

    // File commands; also reached through the menus.
    void NewFile();
    void OpenFiles(const QStringList& paths); // empty: ask with the open dialog
    bool SaveFile(bool showDialog);
    bool CloseFile(const QString& key, bool cancelAllowed);
    void RebuildFileButtons(const QString& pressKey = {});
    // Files dropped on the window open (file URLs only); false when there were none.
    bool OpenDropped(const QMimeData& data);

    // A modeless window that shows records of the open files: it closes before any file does.
    void AdoptFileWindow(QWidget* window);

    // Captions and enabled states of the commands that follow the editor's selection.
    void UpdateEditCommands(const EditState& state);
    const EditState& CurrentEditState() const { return editState_; }
    void SetNavButtons(bool back, bool forward, bool up);

signals:
    // Something may have changed the open files (an edit, a delete, a paste, a save).
    void FilesMayHaveChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // frmMainMenus.cpp
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    QAction* AddCommand(const QString& name, const QString& caption, const QString& iconKey = {},
                        const QKeySequence& keys = {});
    void Alias(const QString& key, const QString& name, const QString& tooltip);
    void RebuildRecentMenu();
    void RefreshFlagChecks();

    // frmMainCommands.cpp
    void ToggleSafeEditing(bool fromToolbar);
    void ToggleFlag(const QString& name);
    void EditTemplate();
    void RevertTemplate();
    void SaveGameCleaner();
    void ChangeFileType();
    void ShowOptions();
    void ApplySettings(); // the settings in force, shown in the menus and the editor
    void ToggleDebugWindow();
    void ToggleLayout();
    void ShowTab(int index);
    void ReloadTemplate();
    void ReloadConfiguration(); // template and settings, after the configuration editor
    bool Shutdown();

    // frmMain.cpp
    void CreateStatusBar();
    void RestoreGeometry();
    void SaveGeometry();
    void SetBusyLook(bool busy);
    void RefreshKeyPanels();
    void FileButtonClicked(const QString& key);
    void SetCaptionFor(const QString& key);
    void CloseFileWindows();

    EditorContext& context_;
    QHash<QString, QAction*> commands_;
    QMenu* recentMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QList<QToolBar*> toolbars_;
    FileButtonBar* fileBar_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    frmLowLevelEdit* editor_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* recordsPanel_ = nullptr;
    QLabel* changedPanel_ = nullptr;
    QLabel* capsPanel_ = nullptr;
    QLabel* numPanel_ = nullptr;
    QLabel* scrollPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::unique_ptr<StatusProgress> progress_;
    InputBlocker* blocker_ = nullptr;
    QPointer<frmDebug> debug_;
    QTimer* enableTimer_ = nullptr;
    RecentFiles recent_;
    EditState editState_;
    QString currentKey_;
    bool verticalLayout_ = false;
    bool shutDown_ = false;
};

} // namespace vellum::ui
