#pragma once

#include "model/Progress.h"
#include "model/SupportFiles.h"
#include "template/DataPaths.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace vellum::ui {

class TextTableModel;

// "Master/Plugin Support Files": for each open plug-in, which data files of the game's folder are
// its masters (the Dependency ticks, written to the headers on OK), and loading any data file
// read-only beside the plug-ins (Click to Load, Load All Support Files). The data files are
// those of every data folder, a later folder's file winning. The window shows the progress of
// the loads.
class frmSupport : public QDialog, public Progress {
    Q_OBJECT
public:
    struct Files {
        std::function<bool(const std::string& path)> isOpen;
        // Adds and loads the file as a support file: false, with nothing left open, when it
        // could not be loaded.
        std::function<bool(const std::string& path, Progress* progress)> loadSupport;
    };
    enum Column { kName, kDependency, kLoaded, kPath };

    frmSupport(std::vector<esfile*> plugins, DataPaths folders, Files files, QWidget* parent = nullptr);

    void GetPlugins();
    void SelectPlugin(int index);
    void ClickLoad(int row);
    void ToggleDependency(int row);
    void LoadAll();
    void ManageIndices();
    void accept() override;

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;

    TextTableModel* Grid() const { return model_; }
    QLabel* Caption() const { return caption_; }
    QPushButton* LoadAllButton() const { return loadAll_; }
    QProgressBar* Bar() const { return bar_; }
    QLabel* Status() const { return status_; }
    SupportFiles& Working() { return support_; }

signals:
    void OpenIndexManager();

private:
    void Refresh();
    bool Load(const std::string& path);

    SupportFiles support_;
    DataPaths folders_;
    Files files_;
    std::vector<SupportFiles::Row> rows_;
    int plugin_ = -1;
    TextTableModel* model_;
    QTableView* grid_;
    QComboBox* plugins_;
    QLabel* caption_;
    QPushButton* loadAll_;
    QProgressBar* bar_;
    QLabel* status_;
    QString loading_; // the file being loaded, named in the progress text
    QList<QPushButton*> buttons_;
};

} // namespace vellum::ui
