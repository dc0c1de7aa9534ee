#pragma once

#include "model/SupportFiles.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace vellum::ui {

class TextTableModel;

// "Master/Plugin Support Files": for each open plug-in, which data files of the game's folder are
// its masters (the Dependency ticks, written to the headers on OK), and loading any data file
// read-only beside the plug-ins (Click to Load, Load All Support Files).
class frmSupport : public QDialog {
    Q_OBJECT
public:
    struct Files {
        std::function<bool(const std::string& path)> isOpen;
        std::function<void(const std::string& path)> loadSupport; // adds and loads it as a support file
    };
    enum Column { kName, kDependency, kLoaded, kPath };

    frmSupport(std::vector<esfile*> plugins, std::filesystem::path dataFolder, Files files,
               QWidget* parent = nullptr);

    void GetPlugins();
    void SelectPlugin(int index);
    void ClickLoad(int row);
    void ToggleDependency(int row);
    void LoadAll();
    void ManageIndices();
    void accept() override;

    TextTableModel* Grid() const { return model_; }
    QLabel* Caption() const { return caption_; }
    QPushButton* LoadAllButton() const { return loadAll_; }
    SupportFiles& Working() { return support_; }

signals:
    void OpenIndexManager();

private:
    void Refresh();

    SupportFiles support_;
    std::filesystem::path dataFolder_;
    Files files_;
    std::vector<SupportFiles::Row> rows_;
    int plugin_ = -1;
    TextTableModel* model_;
    QTableView* grid_;
    QComboBox* plugins_;
    QLabel* caption_;
    QPushButton* loadAll_;
    QList<QPushButton*> buttons_;
};

} // namespace vellum::ui
