#pragma once

#include "tools/ToolCategories.h"

#include <QDialog>

class QTableWidget;

namespace vellum {
class Config;
}

namespace vellum::ui {

// The categories of the Tools menu in menu order: Up and Down move one, a name can be edited,
// OK writes them (and brings the tools of a renamed or removed category in line).
class frmToolCategories : public QDialog {
    Q_OBJECT
public:
    explicit frmToolCategories(Config& settings, QWidget* parent = nullptr);

    void MoveUp();
    void MoveDown();
    void accept() override;
    QTableWidget* Grid() const { return grid_; }
    ToolCategories& Categories() { return categories_; }

private:
    void Fill(int select);
    void Pull();

    ToolCategories categories_;
    QTableWidget* grid_;
};

} // namespace vellum::ui
