#pragma once

#include "template/SearchHit.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTableView;

namespace vellum {
class Config;
class Progress;
class esfile;
} // namespace vellum

namespace vellum::ui {

class SearchPanel;
class TextTableModel;

// "Find All Instances": searches the current file, or every open file, at once and lists each
// hit; Go to asks the record editor to show the selected one.
class frmSearchAll : public QDialog {
    Q_OBJECT
public:
    void reject() override;
    using OpenFiles = std::function<std::vector<esfile*>()>;

    // `current`: the file current when the window opened; `progress`: the main window's sink.
    frmSearchAll(const Config& templ, OpenFiles openFiles, esfile* current, Progress* progress = nullptr,
                 QWidget* parent = nullptr);

    void Find();
    void GoToSelected();
    void Cancel() { cancelled_ = true; }

    SearchPanel* Panel() const { return panel_; }
    TextTableModel* Results() const { return results_; }
    QTableView* Grid() const { return grid_; }
    QPushButton* FindButton() const { return find_; }
    QPushButton* GoToButton() const { return goTo_; }
    const std::vector<SearchHit>& Hits() const { return hits_; }

signals:
    void GoTo(const QString& fileKey, const QString& recordKey, const QString& subRecordKey);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetRunning(bool running);

    OpenFiles openFiles_;
    esfile* current_;
    Progress* progress_;
    SearchPanel* panel_;
    TextTableModel* results_;
    QTableView* grid_;
    QPushButton* find_;
    QPushButton* goTo_;
    QPushButton* cancel_;
    std::vector<SearchHit> hits_;
    bool cancelled_ = false;
};

} // namespace vellum::ui
