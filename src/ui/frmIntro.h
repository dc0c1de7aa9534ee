#pragma once

#include <QDialog>

namespace vellum::ui {

// The start-up splash: the program's picture and version; gone on a key press, a click or
// after a few seconds.
class frmIntro : public QDialog {
    Q_OBJECT
public:
    explicit frmIntro(QWidget* parent = nullptr, int showMs = 2500);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace vellum::ui
