#include "ui/frmMain.h"

#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditControlKeys.h"
#include "ui/EditorContext.h"
#include "ui/FileButtonBar.h"
#include "ui/Icons.h"
#include "ui/InputBlocker.h"
#include "ui/KeyLocks.h"
#include "ui/LegacyText.h"
#include "ui/StatusProgress.h"
#include "ui/Version.h"
#include "ui/frmCredits.h"
#include "ui/ToolWindowCommands.h"
#include "ui/UndoCommands.h"
#include "ui/frmLowLevelEdit.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace vellum::ui {

frmMain::frmMain(EditorContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), currentKey_(QString::fromLatin1(kClipboardKey)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    CreateStatusBar();
    CreateActions();
    CreateMenus();
    CreateToolbars();
    QList<QKeySequence> treeKeys;
    for (const char* name : {"mnuEditDelete", "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
        treeKeys << commands_[name]->shortcuts();
    new EditControlKeys(this, treeKeys);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("EditTab"));
    editor_ = new frmLowLevelEdit(*this, tabs_);
    tabs_->addTab(editor_, QStringLiteral("Low Level Editor"));
    tabs_->addTab(new frmCredits(tabs_), QStringLiteral("Credits"));
    connect(tabs_, &QTabWidget::currentChanged, this, &frmMain::ShowTab);
    setCentralWidget(tabs_);

    ConnectToolWindows(*this);
    ConnectUndoCommands(*this);
    setWindowTitle(BaseCaption());
    SetBusyHandler([this](bool busy) { SetBusyLook(busy); });
    enableTimer_ = new QTimer(this);
    enableTimer_->setInterval(500);
    connect(enableTimer_, &QTimer::timeout, this, [this] {
        if (BusyCount() == 0)
            SetBusyLook(false);
        RefreshKeyPanels();
    });
    enableTimer_->start();

    recent_.Load(context_.settings);
    RebuildRecentMenu();
    RefreshFlagChecks();
    RestoreGeometry();
    RebuildFileButtons(currentKey_);
    ClickFileButton(currentKey_);
}

frmMain::~frmMain() {
    SetBusyHandler({});
    // Windows of their own go while the editor they report back to is still whole.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            delete child;
}

namespace {
constexpr const char* kFileBound = "vellumFileBound";
}

void frmMain::AdoptFileWindow(QWidget* window) {
    window->setProperty(kFileBound, true);
}

void frmMain::CloseFileWindows() {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->property(kFileBound).toBool())
            delete child;
}

QString frmMain::BaseCaption() const {
    return QString::fromLatin1(kBaseCaption) + QLatin1Char(' ') + QString::fromLatin1(kVersionText);
}

QAction* frmMain::Command(const QString& name) const { return commands_.value(name); }

void frmMain::CreateStatusBar() {
    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    statusText_->setMinimumWidth(200);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setMaximumWidth(220);
    progressBar_->setTextVisible(false);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    // A click on Cancel leaves the keyboard where it was, in the tree as a rule.
    cancelButton_->setFocusPolicy(Qt::NoFocus);
    recordsPanel_ = new QLabel(this);
    recordsPanel_->setObjectName(QStringLiteral("RecordsPanel"));
    changedPanel_ = new QLabel(this);
    changedPanel_->setObjectName(QStringLiteral("ChangedPanel"));
    changedPanel_->setMinimumWidth(70);
    statusBar()->addWidget(statusText_, 1);
    // The lock panels are greyed while their lock is off, as a keyboard's lights would be.
    auto lockPanel = [this](const char* name, const char* text) {
        auto* panel = new QLabel(QString::fromLatin1(text), this);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setEnabled(false);
        return panel;
    };
    capsPanel_ = lockPanel("CapsPanel", "CAPS");
    numPanel_ = lockPanel("NumPanel", "NUM");
    scrollPanel_ = lockPanel("ScrollPanel", "SCRL");
    statusBar()->addPermanentWidget(recordsPanel_);
    statusBar()->addPermanentWidget(changedPanel_);
    statusBar()->addPermanentWidget(progressBar_);
    statusBar()->addPermanentWidget(cancelButton_);
    statusBar()->addPermanentWidget(capsPanel_);
    statusBar()->addPermanentWidget(numPanel_);
    statusBar()->addPermanentWidget(scrollPanel_);
    progress_ = std::make_unique<StatusProgress>(statusText_, progressBar_, cancelButton_);
    blocker_ = new InputBlocker(this, statusBar());
}

void frmMain::SetBusyLook(bool busy) {
    // The status bar stays open so that Cancel can be pressed during a long operation. The
    // editor is not disabled but its input dropped: disabling it would take the focus away.
    menuBar()->setEnabled(!busy);
    for (QToolBar* bar : toolbars_)
        bar->setEnabled(!busy);
    fileBar_->setEnabled(!busy);
    blocker_->SetBlocking(busy);
}

void frmMain::RefreshKeyPanels() {
    const KeyLocks locks = KeyLocks::Read();
    capsPanel_->setEnabled(locks.caps);
    numPanel_->setEnabled(locks.num);
    scrollPanel_->setEnabled(locks.scroll);
}

void frmMain::SetStatusText() {
    const esfile* file = context_.files.Find(currentKey_.toStdString());
    statusText_->setText(file ? FromFileText(file->SaveFileName) : QString());
    recordsPanel_->setText(file ? QStringLiteral("%1 records").arg(file->Records().size()) : QString());
    changedPanel_->setText(file && file->Changed ? QStringLiteral("Modified") : QString());
    emit FilesMayHaveChanged();
}

void frmMain::SetCaptionFor(const QString& key) {
    const esfile* file = context_.files.Find(key.toStdString());
    const QString title = file ? FromFileText(file->FileTitle) : QString();
    setWindowTitle(title.isEmpty() ? BaseCaption() : title + QStringLiteral(" - ") + BaseCaption());
}

void frmMain::ClickFileButton(const QString& key) {
    fileBar_->PressButton(key);
    FileButtonClicked(key);
}

void frmMain::FileButtonClicked(const QString& key) {
    if (editor_->Busy() || !editor_->Showfile(key)) {
        fileBar_->PressButton(currentKey_);
        return;
    }
    currentKey_ = key;
    SetCaptionFor(key);
    SetStatusText();
}

void frmMain::RebuildFileButtons(const QString& pressKey) {
    // The clipboard first, then support files, then the others.
    QVector<FileButtonBar::Button> buttons;
    for (int pass = 0; pass < 3; ++pass)
        for (const std::string& key : context_.FileKeys()) {
            const esfile* f = context_.files.Find(key);
            const int kind = f->Clipboard ? 0 : f->IsSupport ? 1 : 2;
            if (kind == pass)
                buttons.push_back({QString::fromStdString(key), FromFileText(f->FileTitle), f->IsSupport});
        }
    fileBar_->Rebuild(buttons);
    if (!pressKey.isEmpty()) {
        fileBar_->PressButton(pressKey);
        SetCaptionFor(pressKey);
    }
    SetStatusText();
    editor_->RefreshForm();
}

void frmMain::UpdateEditCommands(const EditState& st) {
    editState_ = st;
    const QString& label = st.recordLabel;
    commands_["mnuEditFindRefs"]->setText(label.isEmpty() ? "Browse Record Refere&nces"
                                                          : "Browse refere&nces for " + label);
    commands_["mnuEditSortSubrecords"]->setText(label.isEmpty() ? "Sort Record Subrecords"
                                                                : "Sort subrecords of " + label);
    commands_["mnuEditDelete"]->setText(st.marked ? "&Delete Marked" : "&Delete");
    commands_["mnuEditCut"]->setText(st.marked ? "Cu&t Marked" : "Cu&t");
    commands_["mnuEditCopy"]->setText(st.marked ? "&Copy Marked" : "&Copy");
    commands_["mnuEditEditMarked"]->setText(st.marked ? "&Edit Marked" : "&Edit Selected");

    const bool isFile = st.fileShown && !st.clipboardShown;
    const bool record = st.fileShown && st.recordSelected;
    const bool pasteTarget = st.Editable() && !st.clipboardShown && st.clipboardFilled;
    const std::pair<const char*, bool> rules[] = {
        {"mnuFileClose", isFile},
        {"mnuFileSave", isFile},
        {"mnuFileSaveAs", st.fileShown},
        {"mnuFileChangeType", isFile},
        {"mnuFileEnableEdit", st.supportShown},
        {"mnuFileIndex", st.fileShown},
        {"mnuFileStatistics", st.fileShown},
        {"mnuFileDump", st.fileShown},
        {"mnuEditMarkAll", st.fileShown},
        {"mnuEditEditMarked", st.marked},
        {"mnuEditUnmark", st.marked},
        {"mnuEditDelete", st.Editable() && st.deleteEnabled && st.AnySelection()},
        {"mnuEditCut", st.Editable() && !st.clipboardShown && st.AnySelection()},
        {"mnuEditCopy", st.fileShown && !st.clipboardShown && st.AnySelection()},
        {"mnuEditPaste", pasteTarget},
        {"mnuEditPasteAdd", pasteTarget},
        {"mnuEditPasteSubrecords", pasteTarget && record},
        {"mnuClearClipboard", st.clipboardFilled},
        {"mnuEditRawData", record},
        {"mnuEditFind", st.fileShown},
        {"mnuEditFindAll", st.fileShown},
        {"mnuEditFindRefs", record},
        {"mnuEditSortSubrecords", record && st.Editable()},
        {"mnuInsertRecord", st.Editable()},
        {"mnuInsertSubRecord", record && st.Editable()},
    };
    for (const auto& [name, enabled] : rules)
        commands_[name]->setEnabled(enabled);
}

void frmMain::SetNavButtons(bool back, bool forward, bool up) {
    commands_["Back"]->setEnabled(back);
    commands_["Forward"]->setEnabled(forward);
    commands_["UpLevel"]->setEnabled(up);
}

void frmMain::AddRecentFile(const QString& display, const QString& path) {
    recent_.Add(ToFileText(display), path.toStdString());
    RebuildRecentMenu();
}

void frmMain::RestoreGeometry() {
    const std::string saved = context_.settings.GetVar("Window", "Geometry");
    if (!saved.empty() && restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(saved))))
        return;
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(std::min(1200, screen.width() - 40), std::min(800, screen.height() - 60));
    move(screen.center() - rect().center());
    if (screen.height() <= 600)
        move(x(), screen.top() + 2);
}

void frmMain::SaveGeometry() {
    if (!context_.settings.GroupExists("Window"))
        context_.settings.AddGroup("Window");
    context_.settings.SetVar("Window", "Geometry", saveGeometry().toBase64().toStdString());
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (BusyCount() > 0 || editor_->Busy()) {
        event->ignore(); // a long operation runs on this thread; let it end or be cancelled
        return;
    }
    if (!shutDown_ && !Shutdown()) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    if (OpenDropped(*event->mimeData()))
        event->acceptProposedAction();
}

bool frmMain::OpenDropped(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return false;
    // Open after the drop returns, so the drag source is not kept waiting for a long load.
    QTimer::singleShot(0, this, [this, paths] { OpenFiles(paths); });
    return true;
}

} // namespace vellum::ui
