#pragma once

#include "index/References.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <utility>
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

// What one record refers to (Ancestors), what refers to it (Descendants) and what names it in
// text (Mentions), in its file and the open files that depend on it; grouped, each row with its
// file. Go to shows a row's record in the editor, a tick marks it, Back and Forward walk the
// records browsed. Rows are known by file, record type and ID, so they stay right while files
// change; Refresh (run when a browsed file changed) browses again and drops what is gone.
class frmReferences : public QDialog {
    Q_OBJECT
public:
    frmReferences(esFiles& files, std::string fileKey, Progress* progress = nullptr, QWidget* parent = nullptr);

    void Browse(const std::string& recordKey, bool remember = true);
    void GoToSelected();
    void Back();
    void Forward();
    // Browses again when a file it shows changed since; true when it did.
    bool RefreshIfChanged();

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

protected:
    void changeEvent(QEvent* event) override;

private:
    // A record as the browser knows it: its file, type and ID (its key when it has no ID).
    struct Browsed {
        std::string fileKey, type, id, recordKey;
    };
    void Show(const Browsed& record);
    int Locate(const std::string& fileKey, const std::string& type, const std::string& id,
               const std::string& recordKey) const;
    void Fill();
    void OnTick(int row, bool ticked);
    void UpdateNav();

    esFiles& files_;
    std::string fileKey_;
    Progress* progress_;
    std::vector<ReferenceRow> rows_;
    std::vector<Browsed> history_;
    int position_ = -1;
    std::vector<std::pair<std::string, std::uint64_t>> seen_; // files shown and their revisions
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
