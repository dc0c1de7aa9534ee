#include "ui/frmIndex.h"

#include "index/IndexManager.h"
#include "model/Prompt.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

namespace {

// Draws indexed rows in blue-green, the others in pure blue.
class IndexColours : public TextTableModel {
public:
    using TextTableModel::TextTableModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid())
            return At(index.row()).cells.value(frmIndex::kIndexed).isEmpty() ? QColor(0, 0, 255) : QColor(0, 112, 185);
        return TextTableModel::data(index, role);
    }
};

} // namespace

frmIndex::frmIndex(std::filesystem::path dataFolder, std::filesystem::path indicesDir, IndexFile indexFile,
                   QWidget* parent)
    : QDialog(parent), dataFolder_(std::move(dataFolder)), indicesDir_(std::move(indicesDir)),
      indexFile_(std::move(indexFile)), model_(new IndexColours({tr("File"), tr("Index"), tr("Action")}, this)),
      grid_(new QTableView), bar_(new QProgressBar), status_(new QLabel) {
    setWindowTitle(tr("ID Index Manager"));
    grid_->setObjectName("sggFiles");
    grid_->setModel(model_);
    ConfigureListGrid(grid_);
    grid_->setColumnWidth(kFile, 260);
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& i) {
        if (i.column() == kAction) IndexRow(i.row());
    });
    bar_->setObjectName("Progress1");
    status_->setObjectName("Status1");
    bar_->setRange(0, 100);

    auto button = [this](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button("cmdIndexAll", tr("Re-index All"), &frmIndex::IndexAll));
    buttons->addWidget(button("cmdIndexNotIndexed", tr("Index Files without Indices"), &frmIndex::IndexNotIndexed));
    buttons->addWidget(button("cmdReIndexAll", tr("Re-index Indexed Files"), &frmIndex::ReIndexAll));
    buttons->addStretch();
    buttons->addWidget(button("cmdSupportFiles", tr("Support Files..."), [this] {
        accept();
        emit OpenSupportFiles();
    }));
    buttons->addWidget(button("cmdOK", tr("OK"), &QDialog::accept));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    resize(640, 560);
    Refresh();
}

void frmIndex::Refresh() {
    std::vector<TextTableModel::Row> rows;
    for (const auto& f : index_manager::ListDataFiles(dataFolder_, indicesDir_))
        rows.push_back({{FromFileText(f.File.filename().string()), QString::fromStdString(f.StateText),
                         QString::fromStdString(f.ActionText)},
                        QString::fromStdString(f.File.string())});
    model_->SetRows(std::move(rows));
}

void frmIndex::IndexRow(int row) {
    if (row < 0 || row >= model_->rowCount() || !indexFile_) return;
    {
        BusyGuard busy;
        indexFile_(model_->At(row).key.toStdString(), this);
        DoneWaiting();
    }
    Refresh();
}

void frmIndex::IndexWhere(const char* question, int which) {
    if (CurrentPrompt().Ask(question, Buttons::YesNo) != Answer::Yes) return;
    std::vector<std::string> paths;
    for (const auto& r : model_->Rows()) {
        const bool indexed = !r.cells.value(kIndexed).isEmpty();
        if (which < 0 || indexed == (which == 1)) paths.push_back(r.key.toStdString());
    }
    if (indexFile_) {
        BusyGuard busy;
        for (const std::string& p : paths) {
            indexFile_(p, this);
            DoneWaiting();
        }
    }
    Refresh();
}

void frmIndex::IndexAll() {
    IndexWhere("Re-index all Files: This may take a long time, especially if you have a lot of plugin files in "
               "your Morrowind data directory. Continue?",
               -1);
}

void frmIndex::IndexNotIndexed() {
    IndexWhere("Index all Files without Indices: This may take a long time. Continue?", 0);
}

void frmIndex::ReIndexAll() { IndexWhere("Re-index all Indexed Files: This may take a long time. Continue?", 1); }

void frmIndex::Waiting(double percent, std::string_view text) {
    if (percent >= 0)
        bar_->setValue(static_cast<int>(std::min(percent, 100.0)));
    else
        bar_->setValue(bar_->value() >= bar_->maximum() ? 0 : bar_->value() + 1);
    status_->setText(FromFileText(text));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmIndex::DoneWaiting() {
    bar_->setValue(0);
    status_->clear();
}

} // namespace vellum::ui
