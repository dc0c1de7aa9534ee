#include "ui/frmConfigEditor.h"

#include "model/Prompt.h"
#include "model/Text.h"
#include "template/TemplateIdentity.h"
#include "ui/ConfigGridModel.h"
#include "ui/ConfigValueDelegate.h"
#include "ui/Icons.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>
#include <QToolBar>

#include <system_error>

namespace vellum::ui {

namespace fs = std::filesystem;

namespace {

const char* const kSaveQuestion = "Do you wish to save the current configuration before continuing?";

bool IsTemplatePath(const std::string& path) {
    return path.size() >= 14 && ToUpper(std::string_view(path).substr(path.size() - 14)) == "ESTEMPLATE.INI";
}

} // namespace

frmConfigEditor::frmConfigEditor(std::string path, fs::path folder, QWidget* parent)
    : QMainWindow(parent), model_(new ConfigGridModel(this)), grid_(new QTableView), folder_(std::move(folder)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    grid_->setModel(model_);
    grid_->setItemDelegateForColumn(1, new ConfigValueDelegate(*model_, grid_));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setColumnWidth(0, 220);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    setCentralWidget(grid_);
    connect(model_, &ConfigGridModel::Edited, this, [this] {
        changed_ = true;
        UpdateTitle();
    });

    chooseFile = [this](bool save, const QString& startDir) {
        const QString filter = tr("Config Files (*.ini)");
        if (save) {
            QFileDialog dialog(this, tr("Save Configuration File"), startDir, filter);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix("ini");
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        }
        return QFileDialog::getOpenFileName(this, tr("Open Configuration File"), startDir, filter);
    };

    BuildActions();
    if (path.empty())
        New();
    else
        Load(path);
    resize(640, 720);
}

void frmConfigEditor::BuildActions() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QToolBar* bar = addToolBar(tr("Configuration"));
    bar->setObjectName("ConfigToolbar");
    auto add = [&](QMenu* menu, const QString& key, const QString& text, std::function<void()> slot,
                   QKeySequence shortcut = {}, bool onBar = true) {
        QAction* a = menu->addAction(CommandIcon(key), text);
        a->setObjectName(key);
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, [slot] { slot(); });
        if (onBar) bar->addAction(a);
    };
    add(file, "New", tr("&New"), [this] { New(); }, QKeySequence::New, false);
    add(file, "Open", tr("&Open..."), [this] { Open(); }, QKeySequence::Open);
    add(file, "Save", tr("&Save"), [this] { Save(); }, QKeySequence::Save);
    add(file, "SaveAs", tr("Save &As..."), [this] { SaveAs(); }, {}, false);
    add(file, "Revert", tr("&Revert"), [this] { Revert(); });
    file->addSeparator();
    add(file, "MakeDefault", tr("&Make Default"), [this] { MakeDefault(); }, {}, false);
    add(file, "RevertToDefault", tr("Revert to &Default"), [this] { RevertToDefault(); }, {}, false);
    file->addSeparator();
    QAction* exit = file->addAction(CommandIcon("Exit"), tr("E&xit"), this, &QWidget::close);
    exit->setObjectName("Exit");
    bar->addSeparator();
    add(edit, "ExpandAll", tr("E&xpand All"), [this] { ExpandAll(); });
    add(edit, "CollapseAll", tr("&Collapse All"), [this] { CollapseAll(); });
    edit->addSeparator();
    add(edit, "MoveUp", tr("Move &Up"), [this] { MoveUp(); }, QKeySequence(Qt::CTRL | Qt::Key_Up));
    add(edit, "MoveDown", tr("Move Do&wn"), [this] { MoveDown(); }, QKeySequence(Qt::CTRL | Qt::Key_Down));
    add(edit, "InsertGroup", tr("Insert &Group"), [this] { InsertGroup(); }, QKeySequence(Qt::CTRL | Qt::Key_G));
    add(edit, "InsertVariable", tr("Insert &Variable"), [this] { InsertVariable(); },
        QKeySequence(Qt::Key_Insert));
    add(edit, "Delete", tr("&Delete"), [this] { Delete(); }, QKeySequence(Qt::CTRL | Qt::Key_Delete));
}

QAction* frmConfigEditor::Action(const QString& key) const { return findChild<QAction*>(key); }

std::string frmConfigEditor::DefaultCopyOf(const std::string& path) {
    return (path.size() >= 4 ? path.substr(0, path.size() - 4) : path) + ".def";
}

void frmConfigEditor::Load(const std::string& path) {
    path_ = path;
    config_.OpenFile(path);
    isTemplate_ = IsTemplatePath(path);
    model_->Load(config_);
    changed_ = false;
    UpdateTitle();
}

bool frmConfigEditor::WriteTo(const std::string& path) {
    model_->Build(config_);
    const bool templ = IsTemplatePath(path);
    if (templ) RequireIdentitySubrecords(config_);
    if (config_.Save(path) != 0) {
        CurrentPrompt().Message("The configuration could not be saved to " + path);
        return false;
    }
    path_ = path;
    isTemplate_ = templ;
    changed_ = false;
    if (templ) {
        Load(path_);
        emit TemplateSaved();
    }
    UpdateTitle();
    return true;
}

bool frmConfigEditor::Save() { return path_.empty() ? SaveAs() : WriteTo(path_); }

bool frmConfigEditor::SaveAs() {
    const QString chosen = chooseFile(true, QString::fromStdString(folder_.string()));
    return !chosen.isEmpty() && WriteTo(chosen.toStdString());
}

void frmConfigEditor::AskToSave() {
    if (changed_ && CurrentPrompt().Ask(kSaveQuestion, Buttons::YesNo) == Answer::Yes) Save();
}

void frmConfigEditor::Open() {
    AskToSave();
    const QString chosen = chooseFile(false, QString::fromStdString(folder_.string()));
    if (!chosen.isEmpty()) Load(chosen.toStdString());
}

void frmConfigEditor::Revert() {
    std::error_code ec;
    if (path_.empty() || !fs::exists(path_, ec)) {
        CurrentPrompt().Message("No saved version to revert to.");
        return;
    }
    if (CurrentPrompt().Ask("Are you sure you wish to revert to the last saved version of this configuration?",
                            Buttons::YesNo) == Answer::Yes)
        Load(path_);
}

void frmConfigEditor::New() {
    AskToSave();
    config_.clear();
    path_ = (folder_ / "New.ini").string();
    isTemplate_ = false;
    config_.AddGroup("NewGroup1");
    model_->Load(config_);
    changed_ = false;
    UpdateTitle();
}

void frmConfigEditor::MakeDefault() {
    if (CurrentPrompt().Ask("Are you SERIOUS? This will make the current configuration file the default. If you "
                            "have messed up the format template and make it the default, you will have to "
                            "re-install to get things working again. You have been warned :)",
                            Buttons::YesNo) != Answer::Yes)
        return;
    std::error_code ec;
    fs::copy_file(path_, DefaultCopyOf(path_), fs::copy_options::overwrite_existing, ec);
    if (ec) CurrentPrompt().Message("The default copy could not be written: " + ec.message());
}

void frmConfigEditor::RevertToDefault() {
    if (CurrentPrompt().Ask("Revert to default (install) settings? This will undo all changes you have made to "
                            "the configuration file since installing the editor.",
                            Buttons::YesNo, "Confirm File Revert") != Answer::Yes)
        return;
    std::error_code ec;
    const std::string def = DefaultCopyOf(path_);
    if (!fs::exists(def, ec)) {
        CurrentPrompt().Message("There is no default copy " + def + " to revert to.");
        return;
    }
    fs::copy_file(def, path_, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        CurrentPrompt().Message("The configuration file could not be replaced: " + ec.message());
        return;
    }
    Load(path_);
    if (isTemplate_) emit TemplateSaved();
}

int frmConfigEditor::CurrentRow() const { return grid_->currentIndex().isValid() ? grid_->currentIndex().row() : -1; }

void frmConfigEditor::Select(int row) {
    if (row < 0) return;
    grid_->setRowHidden(row, false);
    grid_->setCurrentIndex(model_->index(row, grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 0));
}

void frmConfigEditor::MoveUp() { Select(model_->MoveUp(CurrentRow())); }
void frmConfigEditor::MoveDown() { Select(model_->MoveDown(CurrentRow())); }

void frmConfigEditor::InsertGroup() {
    const int row = model_->InsertGroup();
    Select(row);
    grid_->edit(model_->index(row, 1));
}

void frmConfigEditor::InsertVariable() {
    const int row = model_->InsertVariable(std::max(CurrentRow(), 0));
    Select(row);
    if (row >= 0) grid_->edit(model_->index(row, 0));
}

void frmConfigEditor::Delete() {
    const int row = CurrentRow();
    if (row < 0) return;
    if (model_->IsHeading(row) &&
        CurrentPrompt().Ask("Are you sure you want to delete this group (all variables in the group will be deleted)?",
                            Buttons::YesNo) != Answer::Yes)
        return;
    model_->Delete(row);
    Select(std::min(row, model_->rowCount() - 1));
}

void frmConfigEditor::ExpandAll() {
    for (int r = 0; r < model_->rowCount(); ++r) grid_->setRowHidden(r, false);
}

void frmConfigEditor::CollapseAll() {
    for (int r = 0; r < model_->rowCount(); ++r) grid_->setRowHidden(r, !model_->IsHeading(r));
}

void frmConfigEditor::UpdateTitle() {
    setWindowTitle(tr("Configuration Editor - %1%2").arg(QString::fromStdString(path_), changed_ ? " *" : ""));
}

void frmConfigEditor::closeEvent(QCloseEvent* event) {
    AskToSave();
    event->accept();
}

} // namespace vellum::ui
