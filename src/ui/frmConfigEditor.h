#pragma once

#include "template/Config.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <string>

class QAction;
class QTableView;

namespace vellum::ui {

class ConfigGridModel;

// Edits a configuration file as a grid of groups, instructions and variables. On the format
// template (a path ending in ESTemplate.ini) a save first makes every record type's identity
// subrecord required, then the window reloads what it wrote.
class frmConfigEditor : public QMainWindow {
    Q_OBJECT
public:
    // An empty path starts a new file as New does.
    // `folder`: where Open, Save As and New start (the user's configuration files).
    frmConfigEditor(std::string path, std::filesystem::path folder, QWidget* parent = nullptr);

    // Chooses a file for Open (save false) and Save As (save true); "" cancels. Tests replace it.
    std::function<QString(bool save, const QString& startDir)> chooseFile;

    void Load(const std::string& path);
    bool Save();
    bool SaveAs();
    void Open();
    void Revert();
    void New();
    void MakeDefault();
    void RevertToDefault();
    void MoveUp();
    void MoveDown();
    void InsertGroup();
    void InsertVariable();
    void Delete();
    void ExpandAll();
    void CollapseAll();

    const std::string& Path() const { return path_; }
    bool IsTemplate() const { return isTemplate_; }
    bool Changed() const { return changed_; }
    ConfigGridModel* Model() const { return model_; }
    QTableView* Grid() const { return grid_; }
    QAction* Action(const QString& key) const; // by toolbar key: "Save", "Open", "MoveUp", ...
    static std::string DefaultCopyOf(const std::string& path); // the extension replaced by ".def"

signals:
    void TemplateSaved(); // the format template on disk changed

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildActions();
    bool WriteTo(const std::string& path);
    void AskToSave();
    int CurrentRow() const;
    void Select(int row);
    void UpdateTitle();

    ConfigGridModel* model_;
    QTableView* grid_;
    Config config_;
    std::string path_;
    std::filesystem::path folder_;
    bool isTemplate_ = false;
    bool changed_ = false;
};

} // namespace vellum::ui
