#pragma once

#include "model/Progress.h"
#include "tools/ToolList.h"

#include <QDialog>

#include <filesystem>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vellum {
class Config;
}

namespace vellum::ui {

// Manages the additional tools of the Tools menu: a grid of name, path, category and document
// flag; locate a file, remove one or all, scan the local disks with the signature file (with
// progress and Cancel), edit the categories. OK writes the grid to the settings.
class frmTools : public QDialog, public Progress {
    Q_OBJECT
public:
    enum Column { kName, kPath, kCategory, kDocument };

    frmTools(Config& settings, std::filesystem::path signaturesFile, QWidget* parent = nullptr);

    // Chooses the file for Locate; "" cancels. Tests replace it.
    std::function<QString(const QString& title, const QString& startDir)> chooseFile;
    // The folders Scan walks; the local disks when it returns nothing. Tests replace it.
    std::function<std::vector<std::filesystem::path>()> scanRoots;

    void Locate();
    void Remove();
    void RemoveAll();
    void Scan();
    void Categories();
    void accept() override;

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;
    bool Cancelled() const override { return cancelled_; }

    QTableWidget* Grid() const { return grid_; }
    ToolList& List() { return list_; }

private:
    void Fill(int select = -1);
    void Pull(); // grid edits into the rows

    Config& settings_;
    std::filesystem::path signaturesFile_;
    ToolList list_;
    QTableWidget* grid_;
    QProgressBar* bar_;
    QLabel* status_;
    QPushButton* cancelScan_;
    QList<QPushButton*> buttons_;
    bool cancelled_ = false;
};

} // namespace vellum::ui
