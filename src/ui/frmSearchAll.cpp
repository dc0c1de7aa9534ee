#include "ui/frmSearchAll.h"

#include "model/Progress.h"
#include "template/Search.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/SearchPanel.h"
#include "ui/TextTableModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

namespace {

// Passes reports on to the main window's sink and stops when either side cancels.
class WindowProgress : public Progress {
public:
    WindowProgress(Progress* main, const bool& cancelled) : main_(main), cancelled_(cancelled) {}
    void Waiting(double percent, std::string_view text) override {
        if (main_) main_->Waiting(percent, text);
    }
    void DoneWaiting() override {
        if (main_) main_->DoneWaiting();
    }
    bool Cancelled() const override { return cancelled_ || (main_ && main_->Cancelled()); }

private:
    Progress* main_;
    const bool& cancelled_;
};

} // namespace

frmSearchAll::frmSearchAll(const Config& templ, OpenFiles openFiles, esfile* current, Progress* progress,
                           QWidget* parent)
    : QDialog(parent), openFiles_(std::move(openFiles)), current_(current), progress_(progress),
      panel_(new SearchPanel(templ)),
      results_(new TextTableModel({tr("File"), tr("Record"), tr("ID"), tr("Subrecord"), tr("Property"), tr("Value")},
                                  this)),
      grid_(new QTableView), find_(new QPushButton(tr("&Find"))), goTo_(new QPushButton(tr("&Go to"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("Find All Instances"));
    find_->setObjectName("cmdFind");
    goTo_->setObjectName("cmdGoto");
    cancel_->setObjectName("cmdCancel");
    find_->setDefault(true);
    grid_->setModel(results_);
    ConfigureListGrid(grid_);
    connect(grid_, &QTableView::doubleClicked, this, &frmSearchAll::GoToSelected);
    connect(find_, &QPushButton::clicked, this, &frmSearchAll::Find);
    connect(goTo_, &QPushButton::clicked, this, &frmSearchAll::GoToSelected);
    connect(cancel_, &QPushButton::clicked, this, &frmSearchAll::reject);
    connect(panel_, &SearchPanel::InputChanged, this, [this] { find_->setEnabled(panel_->CanFind()); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(find_);
    buttons->addWidget(goTo_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(panel_, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    find_->setEnabled(false);
    goTo_->setEnabled(false);
    resize(760, 520);
}

void frmSearchAll::SetRunning(bool running) {
    panel_->setEnabled(!running);
    find_->setEnabled(!running && panel_->CanFind());
    grid_->setEnabled(!running);
    goTo_->setEnabled(!running && results_->rowCount() > 0);
}

void frmSearchAll::Find() {
    if (!panel_->CanFind()) return;
    const SearchCriteria criteria = panel_->Criteria();
    hits_.clear();
    results_->clear();
    SetRunning(true);
    std::vector<esfile*> scope;
    if (criteria.AllFiles && openFiles_)
        scope = openFiles_();
    else if (current_)
        scope = {current_};
    {
        BusyGuard busy;
        WindowProgress progress(progress_, cancelled_);
        hits_ = Search(scope, criteria, &progress).FindAll();
        progress.DoneWaiting();
    }
    std::vector<TextTableModel::Row> rows;
    rows.reserve(hits_.size());
    for (const SearchHit& h : hits_) {
        rows.push_back({{FromFileText(h.FileTitle), QString::fromStdString(h.RecordKey), FromFileText(h.ID),
                         QString::fromStdString(h.SubRecordKey), FromFileText(h.Property), FromFileText(h.Value)},
                        QString::number(rows.size())});
    }
    results_->SetRows(std::move(rows));
    if (results_->rowCount() > 0) grid_->setCurrentIndex(results_->index(0, 0));
    SetRunning(false);
}

void frmSearchAll::GoToSelected() {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid() || current.row() >= static_cast<int>(hits_.size())) return;
    const SearchHit& h = hits_[static_cast<std::size_t>(current.row())];
    emit GoTo(QString::fromStdString(h.FileKey), QString::fromStdString(h.RecordKey),
              QString::fromStdString(h.SubRecordKey));
}

bool frmSearchAll::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) cancelled_ = false;
    return QDialog::event(event);
}

void frmSearchAll::closeEvent(QCloseEvent* event) {
    cancelled_ = true;
    QDialog::closeEvent(event);
}

void frmSearchAll::reject() {
    cancelled_ = true;
    QDialog::reject();
}

} // namespace vellum::ui
