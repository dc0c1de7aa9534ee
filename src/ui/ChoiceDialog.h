#pragma once

#include "ui/TextTableModel.h"

#include <QDialog>

class QTableView;
class QVBoxLayout;

namespace vellum::ui {

// A modal list to pick one row from: OK (or a double click) takes the selected row's key and
// closes; Cancel and Escape close with an empty result.
class ChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ChoiceDialog(const QString& title, QStringList headers, QWidget* parent = nullptr);

    QString Result() const { return result_; }
    TextTableModel* Model() const { return model_; }
    QTableView* List() const { return list_; }
    bool Select(const QString& key); // selects the row with that key

    void accept() override;

protected:
    QVBoxLayout* Layout() const { return layout_; } // widgets above the list go in at index 0

private:
    TextTableModel* model_;
    QTableView* list_;
    QVBoxLayout* layout_;
    QString result_;
};

} // namespace vellum::ui
