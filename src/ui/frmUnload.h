#pragma once

#include "model/Progress.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vellum::ui {

// Shown while files close and while the program shuts down: the collection's current action
// in the caption and a progress bar of its own.
class frmUnload : public QDialog, public Progress {
    Q_OBJECT
public:
    // `action` is polled for the caption; "&Terminate Now" shows only for developers.
    frmUnload(std::function<std::string()> action, bool developer, QWidget* parent = nullptr);

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;

private:
    std::function<std::string()> action_;
    QProgressBar* bar_;
    QTimer* timer_;
};

} // namespace vellum::ui
