#pragma once

#include "template/SearchCriteria.h"

#include <QDialog>

class QPushButton;

namespace vellum {
class Config;
}

namespace vellum::ui {

class SearchPanel;

// "Find": collects the criteria and hands them to the record editor, which steps from its current
// entry to the next hit each time Find is pressed.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(const Config& templ, QWidget* parent = nullptr);

    SearchPanel* Panel() const { return panel_; }
    QPushButton* FindButton() const { return find_; }

signals:
    void FindRequested(const vellum::SearchCriteria& criteria);

private:
    SearchPanel* panel_;
    QPushButton* find_;
};

} // namespace vellum::ui
