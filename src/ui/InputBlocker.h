#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace vellum::ui {

// While a long operation runs on the interface thread, drops the user's keys, clicks, wheel
// turns and shortcuts aimed at one window, except inside `open` (the progress area with its
// Cancel button). Nothing is disabled, so the keyboard focus stays where it was.
class InputBlocker : public QObject {
    Q_OBJECT
public:
    InputBlocker(QWidget* window, QWidget* open);
    ~InputBlocker() override;

    void SetBlocking(bool on) { blocking_ = on; }
    bool Blocking() const { return blocking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_, open_;
    bool blocking_ = false;
};

} // namespace vellum::ui
