#include "ui/frmScanRelatives.h"

#include "index/UnchangedPlace.h"
#include "index/esFiles.h"
#include "ui/ActionDelegate.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/RelativesModel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace vellum::ui {

frmScanRelatives::frmScanRelatives(esFiles& files, Selection selection, int operation, Progress* mainProgress,
                                   QWidget* parent)
    : QDialog(parent), files_(files), selection_(std::move(selection)), operation_(operation),
      mainProgress_(mainProgress), tabs_(new QTabWidget), info_(new QLabel), finishText_(new QLabel),
      busy_(new QProgressBar), previous_(new QPushButton(tr("< &Previous"))), next_(new QPushButton(tr("&Next >"))),
      fetch_(new QPushButton(tr("&Fetch"))), skip_(new QPushButton(tr("&Skip"))),
      finish_(new QPushButton(tr("Complete Operation"))), cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(Caption());
    info_->setObjectName("lblInfo2");
    info_->setWordWrap(true);
    finishText_->setWordWrap(true);
    busy_->setRange(0, 1);
    busy_->setTextVisible(false);
    previous_->setObjectName("cmdPrevious");
    next_->setObjectName("cmdNext");
    fetch_->setObjectName("cmdFetch");
    skip_->setObjectName("cmdSkip");
    finish_->setObjectName("cmdFinish");
    cancel_->setObjectName("cmdCancel");

    const char* titles[] = {"Selection", "Ancestors", "Descendants"};
    for (int step = kSelection; step <= kDescendants; ++step) tabs_->addTab(MakeStep(step), tr(titles[step]));
    auto* finishPage = new QWidget;
    auto* finishLayout = new QVBoxLayout(finishPage);
    finishLayout->addWidget(finishText_);
    finishLayout->addStretch();
    tabs_->addTab(finishPage, tr("Complete"));
    connect(tabs_, &QTabWidget::currentChanged, this, &frmScanRelatives::UpdateButtons);

    connect(previous_, &QPushButton::clicked, this, [this] { GoToStep(tabs_->currentIndex() - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { GoToStep(tabs_->currentIndex() + 1); });
    connect(fetch_, &QPushButton::clicked, this, &frmScanRelatives::Fetch);
    connect(skip_, &QPushButton::clicked, this, &frmScanRelatives::Skip);
    connect(finish_, &QPushButton::clicked, this, &frmScanRelatives::CompleteOperation);
    connect(cancel_, &QPushButton::clicked, this, &frmScanRelatives::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fetch_);
    buttons->addWidget(skip_);
    buttons->addStretch();
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addWidget(finish_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addWidget(busy_);
    layout->addWidget(info_);
    layout->addLayout(buttons);
    resize(1000, 540);
    UpdateButtons();
}

QWidget* frmScanRelatives::MakeStep(int step) {
    const int kind = step == kAncestors ? 0 : 1;
    RelativesModel::Filter filter = step == kSelection
                                        ? RelativesModel::Filter([](const esRelative& e) { return e.Generation == 0; })
                                        : RelativesModel::Filter([kind](const esRelative& e) {
                                              return e.Generation > 0 && e.RelativeType == kind;
                                          });
    auto* model = new RelativesModel(files_.esRelatives(), std::move(filter), this);
    models_[step] = model;
    auto* grid = new QTableView;
    grid->setObjectName("sggRelatives");
    grid->setModel(model);
    ConfigureListGrid(grid);
    grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grid->setItemDelegateForColumn(RelativesModel::kAction, new ActionDelegate(grid));
    grid->horizontalHeader()->setSectionResizeMode(RelativesModel::kAction, QHeaderView::ResizeToContents);

    auto* actionAll = new QComboBox;
    const QStringList names = RelativesModel::ActionNames();
    for (int i = 0; i < names.size(); ++i) actionAll->addItem(names[i], i - 1);
    auto* setAll = new QPushButton(tr("Set &All"));
    setAll->setObjectName("cmdActionAll");
    connect(setAll, &QPushButton::clicked, this,
            [model, actionAll] { model->SetAllActions(actionAll->currentData().toInt()); });
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Action for every entry:")));
    row->addWidget(actionAll);
    row->addWidget(setAll);
    row->addStretch();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    layout->addLayout(row);
    return page;
}

QString frmScanRelatives::Caption() const {
    static const char* ops[] = {"Delete", "Cut", "Copy"};
    QString c = operation_ >= 0 && operation_ <= 2 ? ops[operation_] : "";
    if (selection_.marked)
        c += " Marked Entries";
    else if (!selection_.recordKey.empty())
        c += " Record " + QString::fromStdString(selection_.recordKey) + " / Subrecord " +
             QString::fromStdString(selection_.subRecordKey.empty() ? "ALL" : selection_.subRecordKey);
    else
        c += " Record Type " + QString::fromStdString(selection_.recordType);
    if (!selection_.marked) c += " Selected Entry";
    return c + " (Safe Editing Enabled)";
}

QString frmScanRelatives::SkipWarning() {
    return QString("Warning: You have skipped checking of dependencies for the entries shown above. ") +
           "The dependency information is either incomplete or absent. " +
           "If you continue, dependent or depended-on entries of the above entries " +
           "might not be included. You can remedy this by cancelling, or clicking the 'Fetch' buttons on the " +
           "'Ancestors' and 'Descendents' tabs.";
}

void frmScanRelatives::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, &frmScanRelatives::Start);
}

void frmScanRelatives::Start() {
    if (started_) return;
    started_ = true;
    switch (operation_) {
    case kDelete: Run(kRecurseDescendants, 0, true); break;
    case kCut: Run(kRecurseBoth, 1, true); break;
    case kCopy: Run(kRecurseAncestors, 2, true); break;
    default: break;
    }
    info_->setText("Finished");
}

void frmScanRelatives::Run(int recurseType, int action, bool clear) {
    running_ = true;
    UpdateButtons();
    busy_->setRange(0, 0);
    sinceYield_.start();
    {
        BusyGuard busy;
        files_.RecurseRelatives(selection_.fileKey, selection_.recordKey, selection_.subRecordKey, recurseType,
                                selection_.marked, action, clear, selection_.recordType, this);
    }
    busy_->setRange(0, 1);
    running_ = false;
    RefreshModels();
    UpdateButtons();
    if (closeRequested_) QTimer::singleShot(0, this, [this] { QDialog::reject(); });
}

void frmScanRelatives::Fetch() {
    const int step = tabs_->currentIndex();
    if (running_ || (step != kAncestors && step != kDescendants)) return;
    const bool descendants = step == kDescendants;
    info_->setText(descendants ? "The system is recursing through the descendents of the selected entries."
                               : "The system is recursing through the ancestors of the selected entries.");
    const std::size_t before = files_.esRelatives().Count();
    Run(descendants ? kRecurseDescendants : kRecurseAncestors, -1, false);
    const std::pair<int, int> actions = DefaultRelativeActions(operation_, files_.Settings().SafeCutBehaviour);
    const int action = descendants ? actions.second : actions.first;
    for (std::size_t i = before + 1; i <= files_.esRelatives().Count(); ++i) {
        esRelative& e = files_.esRelatives().Item(i);
        if (e.Generation > 0 && e.RelativeType == (descendants ? 1 : 0)) e.Action = action;
    }
    RefreshModels();
    info_->setText("Finished");
}

void frmScanRelatives::Skip() {
    skipped_ = true;
    if (running_) files_.CancelProcess(this);
    finishText_->setText(SkipWarning());
    UpdateButtons();
}

void frmScanRelatives::CompleteOperation() {
    if (running_) return;
    {
        BusyGuard busy;
        files_.ProcessRelatives("", mainProgress_);
    }
    completed_ = true;
    emit OperationCompleted();
    accept();
}

void frmScanRelatives::GoToStep(int step) {
    if (step < kSelection || step > kFinish) return;
    if (step == kFinish && !skipped_) {
        QString text = tr("%1 entries will be processed. Press Complete Operation to carry out the actions.")
                           .arg(files_.esRelatives().Count());
        // The descendants left alone still name what goes: the user sees each before going on.
        QStringList left;
        if (operation_ != kCopy)
            for (const auto& e : files_.esRelatives())
                for (const UnchangedPlace& place : files_.PlacesLeftBy(e.value)) left << FromFileText(place.Text());
        if (!left.isEmpty())
            text += "\n\n" + tr("These places will still name what is deleted:") + "\n" + left.join("\n");
        finishText_->setText(text);
    }
    tabs_->setCurrentIndex(step);
}

void frmScanRelatives::RefreshModels() {
    for (RelativesModel* m : models_) m->Refresh();
}

void frmScanRelatives::UpdateButtons() {
    const int step = tabs_->currentIndex();
    previous_->setEnabled(!running_ && step > kSelection);
    next_->setEnabled(!running_ && step < kFinish);
    fetch_->setEnabled(!running_ && (step == kAncestors || step == kDescendants));
    skip_->setEnabled(running_);
    finish_->setEnabled(!running_);
}

void frmScanRelatives::Waiting(double, std::string_view text) {
    if (sinceYield_.isValid() && sinceYield_.elapsed() < 50) return;
    info_->setText(FromFileText(text));
    QApplication::processEvents(); // Skip and Cancel are seen here
    sinceYield_.restart();
}

void frmScanRelatives::DoneWaiting() {}

void frmScanRelatives::CallbackCancel() { info_->setText(tr("Stopped.")); }

void frmScanRelatives::closeEvent(QCloseEvent* event) {
    if (running_) files_.CancelProcess(this);
    QDialog::closeEvent(event);
}

void frmScanRelatives::reject() {
    if (running_) {
        // The scan stops at its next test; the window closes once it has (see Run).
        closeRequested_ = true;
        files_.CancelProcess(this);
        return;
    }
    QDialog::reject();
}

} // namespace vellum::ui
