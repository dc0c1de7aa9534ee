#include "ui/InputBlocker.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace vellum::ui {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlocker::InputBlocker(QWidget* window, QWidget* open) : QObject(window), window_(window), open_(open) {
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() { qApp->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!blocking_ || !window_ || !IsUserInput(event->type()))
        return false;
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        if (widget->window() != window_)
            return false; // a dialog the operation opened takes its answers
        return !(open_ && (widget == open_ || open_->isAncestorOf(widget)));
    }
    // A shortcut reaches the window's command, not a widget.
    if (auto* action = qobject_cast<QAction*>(watched))
        return action->parent() == window_;
    return false;
}

} // namespace vellum::ui
