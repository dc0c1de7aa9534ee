#include "ui/frmSupport.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <system_error>

namespace vellum::ui {

frmSupport::frmSupport(std::vector<esfile*> plugins, std::filesystem::path dataFolder, Files files, QWidget* parent)
    : QDialog(parent), support_(std::move(plugins)), dataFolder_(std::move(dataFolder)), files_(std::move(files)),
      model_(new TextTableModel({tr("File"), tr("Dependency"), tr("Loaded"), tr("Path")}, this)),
      grid_(new QTableView), plugins_(new QComboBox), caption_(new QLabel("Support Files for Selected Plugin")) {
    setWindowTitle("Master/Plugin Support Files");
    rows_ = SupportFiles::ListDataFiles(dataFolder_);
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

void frmSupport::ClickLoad(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const std::string path = rows_[static_cast<std::size_t>(row)].Path;
    if (!files_.loadSupport || (files_.isOpen && files_.isOpen(path))) return;
    for (QPushButton* b : buttons_) b->setEnabled(false);
    files_.loadSupport(path);
    for (QPushButton* b : buttons_) b->setEnabled(true);
    loadAll_->setEnabled(support_.Count() > 0);
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
    for (const std::string& path : support_.MastersToLoad(dataFolder_, files_.isOpen)) files_.loadSupport(path);
    Refresh();
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

} // namespace vellum::ui
