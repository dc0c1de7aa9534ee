#pragma once

#include "tools/Cleaner.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace vellum {
class DirtySettings;
class Progress;
class ReferenceIndexBuilder;
class esfile;
} // namespace vellum

namespace vellum::ui {

class TextTableModel;

// Tools > Clean Plug-in: lists what cleaning would remove from the plug-in, each entry with its
// reason and ticked; "Remove Ticked" removes what stays ticked, as one step Edit > Undo takes back.
class frmClean : public QDialog {
    Q_OBJECT
public:
    frmClean(esfile& plugin, const std::vector<esfile*>& masters, const DirtySettings& dirty,
             ReferenceIndexBuilder* indexer, Progress* progress, QWidget* parent = nullptr);

    // Removes the ticked entries and closes; the number of whole records removed.
    int RemoveTicked();

    const std::vector<Cleaner::Item>& Items() const { return items_; }
    TextTableModel* List() const { return model_; }
    QTableView* Grid() const { return grid_; }
    QPushButton* RemoveButton() const { return remove_; }
    int Removed() const { return removed_; }

private:
    void UpdateCount();

    esfile& plugin_;
    ReferenceIndexBuilder* indexer_;
    Progress* progress_;
    std::vector<Cleaner::Item> items_;
    int records_ = 0;
    int removed_ = 0;
    TextTableModel* model_;
    QTableView* grid_;
    QLabel* count_;
    QPushButton* remove_;
};

} // namespace vellum::ui
