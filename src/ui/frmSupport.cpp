#include "ui/frmSupport.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <system_error>

namespace vellum::ui {

frmSupport::frmSupport(std::vector<esfile*> plugins, DataPaths folders, Files files, QWidget* parent)
    : QDialog(parent), support_(std::move(plugins)), folders_(std::move(folders)), files_(std::move(files)),
      model_(new TextTableModel({tr("File"), tr("Dependency"), tr("Loaded"), tr("Path")}, this)),
      grid_(new QTableView), plugins_(new QComboBox), caption_(new QLabel("Support Files for Selected Plugin")),
      bar_(new QProgressBar), status_(new QLabel) {
    setWindowTitle("Master/Plugin Support Files");
    rows_ = SupportFiles::ListDataFiles(folders_);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    model_->SetCheckColumn(kDependency);
    grid_->setModel(model_);
    ConfigureListGrid(grid_);
    grid_->setColumnWidth(kName, 220);
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& i) {
        if (i.column() == kLoaded) ClickLoad(i.row());
    });
    connect(model_, &TextTableModel::CheckToggled, this, [this](int row, bool) { ToggleDependency(row); });
    connect(plugins_, &QComboBox::currentIndexChanged, this, &frmSupport::SelectPlugin);

    auto* texts = new QLabel(
        "The \"Dependency\" column indicates whether the plugin you are editing requires the file listed. Ticking "
        "this column will make the file you are editing dependent or not dependent on the listed file.\n\n"
        "The \"Loaded\" column indicates whether the file is presently loaded and can be referenced by look-up "
        "dialogs and go-to buttons in the editor.\n\n"
        "If a support file is indexed, it does not need to be loaded in order for the look-up dialogs to look up "
        "entries from it.");
    texts->setWordWrap(true);
    loadAll_ = new QPushButton(tr("Load All Support Files"));
    auto* manage = new QPushButton(tr("Manage ID Indices"));
    auto* ok = new QPushButton(tr("OK"));
    auto* cancel = new QPushButton(tr("Cancel"));
    ok->setDefault(true);
    buttons_ = {loadAll_, manage, ok, cancel};
    connect(loadAll_, &QPushButton::clicked, this, &frmSupport::LoadAll);
    connect(manage, &QPushButton::clicked, this, &frmSupport::ManageIndices);
    connect(ok, &QPushButton::clicked, this, &frmSupport::accept);
    connect(cancel, &QPushButton::clicked, this, &frmSupport::reject);

    auto* buttonRow = new QHBoxLayout;
    for (QPushButton* b : buttons_) buttonRow->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plugins_);
    layout->addWidget(caption_);
    layout->addWidget(grid_, 1);
    layout->addWidget(texts);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addLayout(buttonRow);
    resize(720, 600);

    std::vector<TextTableModel::Row> initial;
    for (const auto& r : rows_)
        initial.push_back({{FromFileText(r.Name), {}, QString::fromStdString(r.LoadState), QString::fromStdString(r.Path)},
                           QString::fromStdString(r.Path)});
    model_->SetRows(std::move(initial));
    GetPlugins();
    loadAll_->setEnabled(support_.Count() > 0);
}

void frmSupport::GetPlugins() {
    const QSignalBlocker block(plugins_);
    plugins_->clear();
    for (std::size_t i = 0; i < support_.Count(); ++i) plugins_->addItem(FromFileText(support_.Plugin(i).FileTitle));
    if (support_.Count() > 0) SelectPlugin(0);
}

void frmSupport::SelectPlugin(int index) {
    if (index < 0 || index >= static_cast<int>(support_.Count())) return;
    plugin_ = index;
    plugins_->setCurrentIndex(index);
    caption_->setText(FromFileText(support_.Caption(static_cast<std::size_t>(index))));
    Refresh();
}

void frmSupport::Refresh() {
    if (plugin_ >= 0) {
        support_.Refresh(rows_, static_cast<std::size_t>(plugin_), files_.isOpen);
    } else {
        for (auto& r : rows_) r.LoadState = files_.isOpen && files_.isOpen(r.Path) ? "Loaded" : "Click to Load";
    }
    std::vector<TextTableModel::Row> rows;
    for (const auto& r : rows_) {
        TextTableModel::Row row{{FromFileText(r.Name), {}, QString::fromStdString(r.LoadState),
                                 QString::fromStdString(r.Path)},
                                QString::fromStdString(r.Path)};
        row.checkable = plugin_ >= 0;
        row.checked = r.Dependency;
        rows.push_back(std::move(row));
    }
    model_->SetRows(std::move(rows));
}

bool frmSupport::Load(const std::string& path) {
    for (QPushButton* b : buttons_) b->setEnabled(false);
    loading_ = FromFileText(std::filesystem::path(path).filename().string());
    Waiting(0, "Reading Records");
    const bool loaded = files_.loadSupport(path, this);
    loading_.clear();
    DoneWaiting();
    for (QPushButton* b : buttons_) b->setEnabled(true);
    loadAll_->setEnabled(support_.Count() > 0);
    return loaded;
}

void frmSupport::ClickLoad(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const std::string path = rows_[static_cast<std::size_t>(row)].Path;
    if (!files_.loadSupport || (files_.isOpen && files_.isOpen(path))) return;
    if (!Load(path)) CurrentPrompt().Message("The file " + path + " could not be loaded as a support file.");
    Refresh();
}

void frmSupport::ToggleDependency(int row) {
    if (plugin_ < 0 || row < 0 || row >= static_cast<int>(rows_.size())) return;
    const auto& r = rows_[static_cast<std::size_t>(row)];
    std::error_code ec;
    const auto size = std::filesystem::file_size(r.Path, ec);
    support_.Toggle(static_cast<std::size_t>(plugin_), r.Name, ec ? 0 : static_cast<std::int64_t>(size));
    Refresh();
}

void frmSupport::LoadAll() {
    if (!files_.loadSupport) return;
    const SupportFiles::MasterFiles masters = support_.MastersToLoad(folders_, files_.isOpen);
    std::vector<std::string> failed;
    for (const std::string& path : masters.paths)
        if (!Load(path)) failed.push_back(path);
    Refresh();
    std::string text;
    auto list = [&text](const std::string& heading, const std::vector<std::string>& items) {
        if (items.empty()) return;
        text += (text.empty() ? "" : "\n\n") + heading;
        for (const std::string& item : items) text += "\n" + item;
    };
    std::vector<std::string> searched;
    for (const auto& folder : folders_.Folders()) searched.push_back(folder.string());
    list("These master files were not loaded, as no data folder holds them:", masters.missing);
    if (!masters.missing.empty()) list("Data folders searched:", searched);
    list("These master files could not be loaded:", failed);
    if (!text.empty()) CurrentPrompt().Message(text);
}

void frmSupport::ManageIndices() {
    if (support_.Changed() && CurrentPrompt().Ask("Save Changes?", Buttons::YesNo) == Answer::Yes) support_.Apply();
    QDialog::reject();
    emit OpenIndexManager();
}

void frmSupport::accept() {
    support_.Apply();
    QDialog::accept();
}

void frmSupport::Waiting(double percent, std::string_view text) {
    if (percent >= 0) bar_->setValue(static_cast<int>(std::min(percent, 100.0)));
    status_->setText(loading_.isEmpty() ? FromFileText(text) : loading_ + ": " + FromFileText(text));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmSupport::DoneWaiting() {
    bar_->setValue(0);
    status_->clear();
}

} // namespace vellum::ui
