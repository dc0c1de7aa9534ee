#pragma once

#include "model/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QAbstractButton;

namespace vellum::ui {

// The main window's progress sink: the text goes to a status-bar panel (until the waiting ends),
// the percentage to the progress bar, and the Cancel button sets the flag long operations poll. Reports let the
// interface paint, but at most every few dozen milliseconds so a fast loop stays fast.
class StatusProgress : public Progress {
public:
    StatusProgress(QLabel* text, QProgressBar* bar, QAbstractButton* cancel);

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;
    bool Cancelled() const override { return cancelled_; }

    void Cancel() { cancelled_ = true; }
    bool IsWaiting() const { return waiting_; }
    int YieldCount() const { return yields_; } // how often the interface was let in

private:
    void Yield(bool force);
    void SetBar(int value);

    QPointer<QLabel> text_;
    QPointer<QProgressBar> bar_;
    QPointer<QAbstractButton> cancel_;
    QElapsedTimer sinceYield_;
    QString before_, shown_; // the panel's text before the waiting; the last progress text
    bool waiting_ = false;
    bool cancelled_ = false;
    int yields_ = 0;
};

} // namespace vellum::ui
