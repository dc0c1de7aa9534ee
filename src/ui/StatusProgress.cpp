#include "ui/StatusProgress.h"

#include "ui/LegacyText.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace vellum::ui {
namespace {
constexpr qint64 kYieldIntervalMs = 40;
}

StatusProgress::StatusProgress(QLabel* text, QProgressBar* bar, QAbstractButton* cancel)
    : text_(text), bar_(bar), cancel_(cancel) {
    if (bar_)
        bar_->setRange(0, 100);
    if (cancel_) {
        cancel_->setEnabled(false);
        QObject::connect(cancel_, &QAbstractButton::clicked, [this] { cancelled_ = true; });
    }
}

void StatusProgress::Waiting(double percent, std::string_view text) {
    const bool first = !waiting_;
    waiting_ = true;
    if (bar_) {
        if (percent >= 0)
            SetBar(percent > 100 ? 100 : static_cast<int>(percent));
        else
            SetBar(bar_->value() >= 100 ? 0 : bar_->value() + 1); // unknown progress
    }
    if (first && text_)
        before_ = text_->text();
    if (!text.empty() && text_) {
        shown_ = FromFileText(text);
        text_->setText(shown_);
    }
    if (cancel_)
        cancel_->setEnabled(true);
    Yield(first);
}

void StatusProgress::DoneWaiting() {
    // The panel shows again what it showed before, unless someone else wrote it meanwhile.
    if (waiting_ && text_ && !shown_.isNull() && text_->text() == shown_)
        text_->setText(before_);
    shown_.clear();
    waiting_ = false;
    cancelled_ = false;
    if (bar_)
        SetBar(0);
    if (cancel_)
        cancel_->setEnabled(false);
}

// QProgressBar::setValue repaints at once, and a long task reports hundreds of times (every
// record click ends in DoneWaiting too): the bar is painted with the rest when Yield lets
// events in.
void StatusProgress::SetBar(int value) {
    if (bar_->value() == value)
        return;
    bar_->setUpdatesEnabled(false);
    bar_->setValue(value);
    bar_->setUpdatesEnabled(true);
}

void StatusProgress::Yield(bool force) {
    if (!force && sinceYield_.isValid() && sinceYield_.elapsed() < kYieldIntervalMs)
        return;
    sinceYield_.start();
    ++yields_;
    // Paint and take the Cancel click; input to the disabled main window is dropped anyway.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace vellum::ui
