#pragma once

#include <QDialog>

class QListWidget;

namespace vellum {
class UndoHistory;
}

namespace vellum::ui {

// The steps of the undo history, the current one selected; choosing a row moves the history
// to the state after that step (the first row: before every step).
class frmHistory : public QDialog {
    Q_OBJECT
public:
    explicit frmHistory(const UndoHistory& history, QWidget* parent = nullptr);

    QListWidget* Steps() const { return list_; }
    // The chosen position, or -1 when the dialog was cancelled.
    int Chosen() const { return result() == Accepted ? chosen_ : -1; }

private:
    QListWidget* list_;
    int chosen_ = -1;
};

} // namespace vellum::ui
