#pragma once

#include "index/References.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QStandardItemModel;
class QToolButton;
class QTreeView;

namespace vellum {
class esFiles;
class Progress;
} // namespace vellum

namespace vellum::ui {

// What one record refers to (Ancestors) and what refers to it (Descendants), grouped; Go to
// shows a row's record in the editor, a tick marks it, Back and Forward walk the records browsed.
class frmReferences : public QDialog {
    Q_OBJECT
public:
    frmReferences(esFiles& files, std::string fileKey, Progress* progress = nullptr, QWidget* parent = nullptr);

    void Browse(const std::string& recordKey, bool remember = true);
    void GoToSelected();
    void Back();
    void Forward();

    const std::vector<ReferenceRow>& Rows() const { return rows_; }
    QStandardItemModel* Model() const { return model_; }
    QTreeView* Grid() const { return grid_; }
    QLabel* RecordLabel() const { return record_; }
    QCheckBox* ShowNewReferences() const { return showNew_; }
    QToolButton* BackButton() const { return back_; }
    QToolButton* ForwardButton() const { return forward_; }

signals:
    void GoTo(const QString& fileKey, const QString& recordKey);
    void MarksChanged(); // the editor's tree needs a refresh

private:
    void Fill();
    void OnTick(int row, bool ticked);
    void UpdateNav();

    esFiles& files_;
    std::string fileKey_;
    Progress* progress_;
    std::vector<ReferenceRow> rows_;
    std::vector<std::string> history_;
    int position_ = -1;
    QLabel* icon_;
    QLabel* record_;
    QStandardItemModel* model_;
    QTreeView* grid_;
    QCheckBox* showNew_;
    QToolButton* back_;
    QToolButton* forward_;
    bool filling_ = false;
};

} // namespace vellum::ui
