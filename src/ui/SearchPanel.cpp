#include "ui/SearchPanel.h"

#include "template/Config.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace vellum::ui {

SearchPanel::SearchPanel(const Config& templ, QWidget* parent)
    : QWidget(parent), templ_(templ), text_(new QLineEdit), recordType_(new QComboBox), subType_(new QComboBox),
      matchCase_(new QCheckBox(tr("Match &case"))), wholePhrase_(new QCheckBox(tr("&Whole phrase"))),
      allFiles_(new QCheckBox(tr("Find in all open &files"))) {
    text_->setObjectName("txtfind");
    recordType_->setObjectName("cmbRecordType");
    subType_->setObjectName("cmbSubRecordType");
    matchCase_->setObjectName("chkMatchCase");
    wholePhrase_->setObjectName("chkWholePhrase");
    allFiles_->setObjectName("chkFindInFiles");
    for (QComboBox* box : {recordType_, subType_}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(12);
    }
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("Find &what:"), text_);
    form->addRow(tr("&Record type:"), recordType_);
    form->addRow(tr("&Subrecord type:"), subType_);
    form->addRow(matchCase_);
    form->addRow(wholePhrase_);
    form->addRow(allFiles_);

    FillRecordTypes();
    FillSubrecordTypes();
    connect(text_, &QLineEdit::textChanged, this, &SearchPanel::InputChanged);
    connect(recordType_, &QComboBox::currentTextChanged, this, [this] {
        FillSubrecordTypes();
        emit InputChanged();
    });
    connect(recordType_->lineEdit(), &QLineEdit::editingFinished, this, &SearchPanel::AddTypedRecordType);
    connect(subType_, &QComboBox::currentTextChanged, this, &SearchPanel::InputChanged);
}

void SearchPanel::FillRecordTypes() {
    const QSignalBlocker block(recordType_);
    recordType_->clear();
    recordType_->addItem(QString());
    for (const std::string& t : SearchCriteria::RecordTypes(templ_)) {
        const QString type = QString::fromStdString(t);
        recordType_->addItem(CommandIcon(type), type, type + "@");
    }
    recordType_->setCurrentIndex(0);
}

QString SearchPanel::RecordTypeText() const { return recordType_->currentText().left(4).toUpper(); }

void SearchPanel::AddTypedRecordType() {
    const QString type = RecordTypeText().trimmed();
    if (type.isEmpty() || recordType_->findData(type + "@") >= 0) return;
    const QSignalBlocker block(recordType_);
    recordType_->addItem(CommandIcon("Unknown"), "Unknown", type + "@");
    recordType_->setEditText(type);
}

void SearchPanel::FillSubrecordTypes() {
    const QString keep = subType_->currentText();
    const QSignalBlocker block(subType_);
    subType_->clear();
    subType_->addItem(QString());
    for (const std::string& s : SearchCriteria::SubrecordTypes(templ_, RecordTypeText().toStdString()))
        subType_->addItem(CommandIcon("SubRecord"), QString::fromStdString(s));
    subType_->setEditText(keep);
}

SearchCriteria SearchPanel::Criteria() const {
    return SearchCriteria::FromInput(ToFileText(text_->text()), RecordTypeText().toStdString(),
                                     subType_->currentText().toStdString(), matchCase_->isChecked(),
                                     wholePhrase_->isChecked(), allFiles_->isChecked());
}

bool SearchPanel::CanFind() const {
    return SearchCriteria::CanFind(ToFileText(text_->text()), RecordTypeText().toStdString(),
                                   subType_->currentText().toStdString());
}

} // namespace vellum::ui
