#pragma once

#include <QDialog>

class QRadioButton;

namespace vellum::ui {

// "Select a file type for this file": master, plug-in, saved game or indeterminate.
class frmChangeFileType : public QDialog {
    Q_OBJECT
public:
    // `currentType`: 0 master, 1 plug-in, 2 saved game, anything else indeterminate.
    explicit frmChangeFileType(int currentType, QWidget* parent = nullptr);
    // The chosen type after OK; -1 for indeterminate, which changes nothing.
    int SelectedType() const;
    void Select(int type);

private:
    QRadioButton* options_[4];
};

} // namespace vellum::ui
