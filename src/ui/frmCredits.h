#pragma once

#include <QWidget>

namespace vellum::ui {

// The "Credits" tab: the program, its version and licence, and the open-source components it
// is built with.
class frmCredits : public QWidget {
    Q_OBJECT
public:
    explicit frmCredits(QWidget* parent = nullptr);
    static QString Html();
};

} // namespace vellum::ui
