#pragma once

#include "template/SearchCriteria.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vellum {
class Config;
}

namespace vellum::ui {

// The inputs the Find and Find All windows share: text, record type, subrecord type, match case,
// whole phrase, all open files. The type lists come from the format template; a record type
// typed that the list lacks is added as "Unknown".
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    explicit SearchPanel(const Config& templ, QWidget* parent = nullptr);

    SearchCriteria Criteria() const;
    bool CanFind() const;
    void FillSubrecordTypes(); // for the record type now chosen

    QLineEdit* Text() const { return text_; }
    QComboBox* RecordType() const { return recordType_; }
    QComboBox* SubrecordType() const { return subType_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QCheckBox* WholePhrase() const { return wholePhrase_; }
    QCheckBox* AllFiles() const { return allFiles_; }

signals:
    void InputChanged(); // any of text, record type, subrecord type

private:
    void FillRecordTypes();
    void AddTypedRecordType();
    QString RecordTypeText() const;

    const Config& templ_;
    QLineEdit* text_;
    QComboBox* recordType_;
    QComboBox* subType_;
    QCheckBox* matchCase_;
    QCheckBox* wholePhrase_;
    QCheckBox* allFiles_;
};

} // namespace vellum::ui
