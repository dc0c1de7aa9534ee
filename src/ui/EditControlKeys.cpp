#include "ui/EditControlKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

namespace vellum::ui {

EditControlKeys::EditControlKeys(QWidget* window, QList<QKeySequence> keys)
    : QObject(window), window_(window), keys_(std::move(keys)) {
    qApp->installEventFilter(this);
}

EditControlKeys::~EditControlKeys() { qApp->removeEventFilter(this); }

bool EditControlKeys::IsEditControl(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QComboBox*>(w))
        return true;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->isCheckable() && !qobject_cast<const QToolButton*>(w);
    // A grid of cells the user types into, such as the byte grid (read-only too: its keys still
    // move the cursor); the record tree and the lists are not.
    if (const auto* view = qobject_cast<const QAbstractItemView*>(w))
        return view->editTriggers() != QAbstractItemView::NoEditTriggers;
    return false;
}

bool EditControlKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !window_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_ || !IsEditControl(widget))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& k : keys_)
        if (k.matches(pressed) == QKeySequence::ExactMatch) {
            // Accepting the override hands the key to the control instead of the command.
            event->accept();
            return true;
        }
    return false;
}

} // namespace vellum::ui
