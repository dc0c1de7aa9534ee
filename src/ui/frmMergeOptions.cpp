#include "ui/frmMergeOptions.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vellum::ui {

frmMergeOptions::frmMergeOptions(QWidget* parent) : QDialog(parent), choices_(new QButtonGroup(this)) {
    setWindowTitle("Paste - Merge marked clipboard records into selected record");
    auto* layout = new QVBoxLayout(this);
    for (const char* text :
         {"This operation will merge marked records (or all if none are marked) on the clipboard with the currently "
          "selected record by pasting all of their subrecords into the selected record.",
          "Required subrecords such as the subrecord containing the ID value of the record should generally only "
          "have one occurance in a record and these subrecord types will not be pasted.",
          "Select the clipboard records you wish to merge with the selected record"}) {
        auto* label = new QLabel(text);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    int id = 0;
    for (const char* text : {"All marked records on the clipboard",
                             "Marked records on the clipboard of the same type as the selected record."}) {
        auto* radio = new QRadioButton(text);
        choices_->addButton(radio, id++);
        layout->addWidget(radio);
    }
    choices_->button(0)->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmMergeOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmMergeOptions::reject);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

void frmMergeOptions::SetChoice(int choice) {
    if (auto* b = choices_->button(choice)) b->setChecked(true);
}

void frmMergeOptions::accept() {
    pasteMergeType_ = choices_->checkedId();
    QDialog::accept();
}

void frmMergeOptions::reject() {
    pasteMergeType_ = -1;
    QDialog::reject();
}

} // namespace vellum::ui
