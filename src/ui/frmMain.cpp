#include "ui/frmMain.h"

#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/FileButtonBar.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/StatusProgress.h"
#include "ui/Version.h"
#include "ui/frmCredits.h"
#include "ui/ToolWindowCommands.h"
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

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("EditTab"));
    editor_ = new frmLowLevelEdit(*this, tabs_);
    tabs_->addTab(editor_, QStringLiteral("Low Level Editor"));
    tabs_->addTab(new frmCredits(tabs_), QStringLiteral("Credits"));
    connect(tabs_, &QTabWidget::currentChanged, this, &frmMain::ShowTab);
    setCentralWidget(tabs_);

    ConnectToolWindows(*this);
    setWindowTitle(BaseCaption());
    SetBusyHandler([this](bool busy) { SetBusyLook(busy); });
    enableTimer_ = new QTimer(this);
    enableTimer_->setInterval(500);
    connect(enableTimer_, &QTimer::timeout, this, [this] {
        if (BusyCount() == 0)
            SetBusyLook(false);
    });
    enableTimer_->start();

    recent_.Load(context_.settings);
    RebuildRecentMenu();
    RefreshFlagChecks();
    RestoreGeometry();
    RebuildFileButtons(currentKey_);
}

frmMain::~frmMain() {
    SetBusyHandler({});
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
    recordsPanel_ = new QLabel(this);
    recordsPanel_->setObjectName(QStringLiteral("RecordsPanel"));
    changedPanel_ = new QLabel(this);
    changedPanel_->setObjectName(QStringLiteral("ChangedPanel"));
    changedPanel_->setMinimumWidth(70);
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(recordsPanel_);
    statusBar()->addPermanentWidget(changedPanel_);
    statusBar()->addPermanentWidget(progressBar_);
    statusBar()->addPermanentWidget(cancelButton_);
    progress_ = std::make_unique<StatusProgress>(statusText_, progressBar_, cancelButton_);
}

void frmMain::SetBusyLook(bool busy) {
    // The status bar stays enabled so that Cancel can be pressed during a long operation.
    menuBar()->setEnabled(!busy);
    for (QToolBar* bar : toolbars_)
        bar->setEnabled(!busy);
    fileBar_->setEnabled(!busy);
    if (tabs_)
        tabs_->setEnabled(!busy);
}

void frmMain::SetStatusText() {
    const esfile* file = context_.files.Find(currentKey_.toStdString());
    statusText_->setText(file ? FromFileText(file->SaveFileName) : QString());
    recordsPanel_->setText(file ? QStringLiteral("%1 records").arg(file->Records().size()) : QString());
    changedPanel_->setText(file && file->Changed ? QStringLiteral("Modified") : QString());
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

void frmMain::UpdateEditCaptions(const QString& recordLabel, bool marked) {
    commands_["mnuEditFindRefs"]->setText(recordLabel.isEmpty() ? "Browse Record &References"
                                                                : "Browse references for " + recordLabel);
    commands_["mnuEditSortSubrecords"]->setText(recordLabel.isEmpty() ? "Sort Record Subrecords"
                                                                      : "Sort subrecords of " + recordLabel);
    commands_["mnuEditDelete"]->setText(marked ? "&Delete Marked" : "&Delete");
    commands_["mnuEditCut"]->setText(marked ? "C&ut Marked" : "C&ut");
    commands_["mnuEditCopy"]->setText(marked ? "&Copy Marked" : "&Copy");
    commands_["mnuEditEditMarked"]->setText(marked ? "&Edit Marked" : "&Edit Selected");
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

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && templateWatch_) {
        templateWatch_ = false;
        ReloadTemplate();
    }
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
