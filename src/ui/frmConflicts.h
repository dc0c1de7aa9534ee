#pragma once

#include "tools/Conflicts.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class ComparisonModel;
class ConflictFilterModel;
class TextTableModel;

// Tools > Conflicts: every record that more than one of the open files defines, in load order,
// with the files, the winner and whether the versions differ; a filter keeps only those that
// differ. The selected record is shown side by side in each file, property by property, and the
// selected cell's subrecord or property, or the whole record of that file, can be copied into
// one of the plug-ins being edited.
class frmConflicts : public QDialog {
    Q_OBJECT
public:
    // `loadOrder`: the files compared, masters first; `editable`: where versions may be copied.
    frmConflicts(std::vector<esfile*> loadOrder, std::vector<esfile*> editable, QWidget* parent = nullptr);

    // Compares the files again, keeping the selected record where it still conflicts.
    void Refresh();
    // Copies what the selected comparison cell shows (a subrecord or a property of that
    // version) into the chosen plug-in; CopyRecord the whole record of the selected version.
    bool CopySelected();
    bool CopyRecord();

    const std::vector<Conflicts::Entry>& Entries() const { return entries_; }
    QTableView* List() const { return list_; }
    QTableView* Comparison() const { return comparison_; }
    ComparisonModel* ComparisonRows() const { return rows_; }
    QCheckBox* DiffersOnly() const { return differsOnly_; }
    QLineEdit* Filter() const { return filter_; }
    QComboBox* Target() const { return target_; }

signals:
    // A plug-in got a version copied into it.
    void FileChanged(const QString& fileKey);

private:
    void ShowSelected();
    const Conflicts::Entry* SelectedEntry() const;
    // The version of the selected comparison column, or nullptr.
    const esfile* SelectedVersion(int& record) const;
    // The chosen plug-in, unless it is the source itself (then the user is told).
    esfile* TargetFor(const esfile* source) const;
    bool AfterCopy(bool copied);

    std::vector<esfile*> files_;
    std::vector<esfile*> editable_;
    std::vector<std::string> names_;
    std::vector<Conflicts::Entry> entries_;
    TextTableModel* model_;
    ConflictFilterModel* proxy_;
    ComparisonModel* rows_;
    QTableView* list_;
    QTableView* comparison_;
    QCheckBox* differsOnly_;
    QLineEdit* filter_;
    QLabel* count_;
    QComboBox* target_;
    QPushButton* copy_;
    QPushButton* copyRecord_;
};

} // namespace vellum::ui
