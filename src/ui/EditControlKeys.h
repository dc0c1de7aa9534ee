#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace vellum::ui {

// The window's commands on the tree's selection have keys that edit controls use too (Del,
// Ctrl+X, Ctrl+C, Ctrl+V). Inside an edit control of `window` those keys go to the control, as
// in any editor; with the focus anywhere else in the window they run the command.
class EditControlKeys : public QObject {
    Q_OBJECT
public:
    EditControlKeys(QWidget* window, QList<QKeySequence> keys);
    ~EditControlKeys() override;

    // Text and number boxes, combo boxes, check boxes, grids whose cells take typing.
    static bool IsEditControl(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QList<QKeySequence> keys_;
};

} // namespace vellum::ui
