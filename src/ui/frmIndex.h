#pragma once

#include "model/Progress.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QTableView;

namespace vellum::ui {

class TextTableModel;

// The index manager: every data file of the game's folder with whether it has an ID index, and
// commands that index one file, all, the unindexed ones or the indexed ones again. The window is
// the indexing's progress sink.
class frmIndex : public QDialog, public Progress {
    Q_OBJECT
public:
    // Indexes the data file at `path` (loading it for the time when it is not open).
    using IndexFile = std::function<void(const std::string& path, Progress* progress)>;
    enum Column { kFile, kIndexed, kAction };

    frmIndex(std::filesystem::path dataFolder, std::filesystem::path indicesDir, IndexFile indexFile,
             QWidget* parent = nullptr);

    void Refresh();
    void IndexRow(int row);
    void IndexAll();
    void IndexNotIndexed();
    void ReIndexAll();

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;

    TextTableModel* Files() const { return model_; }
    QProgressBar* Bar() const { return bar_; }

signals:
    void OpenSupportFiles();

private:
    void IndexWhere(const char* question, int which); // which: -1 every file, 0 not indexed, 1 indexed

    std::filesystem::path dataFolder_, indicesDir_;
    IndexFile indexFile_;
    TextTableModel* model_;
    QTableView* grid_;
    QProgressBar* bar_;
    QLabel* status_;
};

} // namespace vellum::ui
