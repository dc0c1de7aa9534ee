#include "ui/frmScanReferences.h"

#include "index/esCheckedEntries.h"
#include "index/esFiles.h"
#include "ui/Busy.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace vellum::ui {

QString frmScanReferences::Explanation() {
    return QString(" You have changed an ID value or values for one or more records.") +
           " These values are used in other records to refer to the records you changed." + "\n" +
           " It is highly recommended that you allow the system to search for any other records that refer to the "
           "records you have edited" +
           " and make appropriate changes so that referential integrity is maintained." + "\n" +
           " Scan for descendants (referring records) and change the references?";
}

frmScanReferences::frmScanReferences(esFiles& files, std::string fileKey, const esCheckedEntries& idList,
                                     QWidget* parent)
    : QDialog(parent), files_(files), fileKey_(std::move(fileKey)), idList_(idList), heading_(new QLabel),
      progress_(new QLabel(Explanation())), busy_(new QProgressBar), allFiles_(new QCheckBox(tr("Check all open files"))),
      rewriteScripts_(new QCheckBox(tr("Rewrite script source too (those scripts must be recompiled)"))),
      scan_(new QPushButton(tr("&Scan"))), cancel_(new QPushButton(tr("Cancel"))),
      changes_(new TextTableModel({tr("Reference changed"), tr("Value")}, this)), grid_(new QTableView) {
    setWindowTitle(tr("Scan References"));
    const QString subject = idList_.Count() == 1 ? FromFileText(idList_.Item(1).NewID.empty() ? idList_.Item(1).OldID
                                                                                                : idList_.Item(1).NewID)
                                                 : QString("Multiple Records");
    heading_->setText("Scan References: " + subject);
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    progress_->setObjectName("lblProgress");
    progress_->setWordWrap(true);
    busy_->setRange(0, 1); // a still bar; a busy one while the scan runs
    busy_->setTextVisible(false);
    scan_->setObjectName("cmdScan");
    cancel_->setObjectName("cmdCancel");
    scan_->setDefault(true);
    grid_->setObjectName("sggRelatives");
    grid_->setModel(changes_);
    ConfigureListGrid(grid_);
    grid_->setColumnWidth(0, 420);
    allFiles_->setObjectName("chkAllFiles");
    allFiles_->setChecked(true);
    rewriteScripts_->setObjectName("chkRewriteScripts");
    connect(scan_, &QPushButton::clicked, this, &frmScanReferences::Scan);
    connect(cancel_, &QPushButton::clicked, this, &frmScanReferences::reject);

    auto* buttons = new QHBoxLayout;
    auto* choices = new QVBoxLayout;
    choices->addWidget(allFiles_);
    choices->addWidget(rewriteScripts_);
    buttons->addLayout(choices);
    buttons->addStretch();
    buttons->addWidget(scan_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(progress_);
    layout->addWidget(busy_);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    resize(640, 460);
}

void frmScanReferences::Scan() {
    if (done_) {
        accept();
        return;
    }
    if (running_) return;
    running_ = true;
    scan_->setEnabled(false);
    allFiles_->setEnabled(false);
    rewriteScripts_->setEnabled(false);
    progress_->setText("Beginning scan of descendants...");
    busy_->setRange(0, 0);
    {
        BusyGuard busy;
        files_.ChangeIDReferences(fileKey_, idList_, allFiles_->isChecked(), this, rewriteScripts_->isChecked());
    }
    running_ = false;
    done_ = true;
    busy_->setRange(0, 1);
    cancel_->setEnabled(false);
    const int changed = changes_->rowCount();
    for (const UnchangedPlace& p : files_.Unchanged())
        changes_->Append({{{"unchanged: " + FromFileText(p.Text()), QString()}, {}}});
    const int left = changes_->rowCount() - changed;
    QString summary = tr("Finished: %n reference(s) changed.", nullptr, changed);
    if (left > 0)
        summary += " " + tr("%n place(s) still name the old ID: see the rows marked unchanged.", nullptr, left);
    progress_->setText(summary);
    scan_->setText("OK ");
    scan_->setEnabled(true);
    if (closeRequested_) QTimer::singleShot(0, this, [this] { QDialog::reject(); });
}

void frmScanReferences::CallBack(std::string_view text, std::string_view value) {
    changes_->Append({{{FromFileText(text), FromFileText(value)}, {}}});
    progress_->setText(FromFileText(files_.ProgAction));
    QApplication::processEvents(); // the bar moves and Cancel can be pressed
}

void frmScanReferences::CallbackCancel() { progress_->setText(tr("Cancelled.")); }

void frmScanReferences::closeEvent(QCloseEvent* event) {
    if (running_) files_.CancelProcess(this);
    QDialog::closeEvent(event);
}

void frmScanReferences::reject() {
    if (running_) {
        closeRequested_ = true;
        files_.CancelProcess(this); // the scan stops at its next test; the window closes after
        return;
    }
    QDialog::reject();
}

} // namespace vellum::ui
