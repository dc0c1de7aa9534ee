#pragma once

#include <QDialog>

class QButtonGroup;

namespace vellum::ui {

// Asked before a merging paste: merge every marked clipboard record (0) or only those of the
// selected record's type (1). PasteMergeType() is -1 until OK.
class frmMergeOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmMergeOptions(QWidget* parent = nullptr);

    int PasteMergeType() const { return pasteMergeType_; }
    void SetChoice(int choice);
    void accept() override;
    void reject() override;

private:
    QButtonGroup* choices_;
    int pasteMergeType_ = -1;
};

} // namespace vellum::ui
