#pragma once

#include "index/esCallbacks.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace vellum {
class esFiles;
class esCheckedEntries;
} // namespace vellum

namespace vellum::ui {

class TextTableModel;

// Offered after IDs were changed in the form: Scan rewrites every reference to an old ID, every
// result script and condition that names it, and script source when the user ticks it (in the
// current file and the files that depend on it, or in every open file) and lists each change
// and each place left naming an old ID; a busy bar stands for the search animation. Cancel or
// closing stops a running scan.
class frmScanReferences : public QDialog, public esCallbackStringValue, public esCancelCallback {
    Q_OBJECT
public:
    void reject() override;
    frmScanReferences(esFiles& files, std::string fileKey, const esCheckedEntries& idList, QWidget* parent = nullptr);

    static QString Explanation();
    void Scan(); // the Scan button: scans on the first press, closes on the next

    void CallBack(std::string_view text, std::string_view value) override;
    void CallbackCancel() override;

    QLabel* Heading() const { return heading_; }
    QLabel* ProgressText() const { return progress_; }
    QPushButton* ScanButton() const { return scan_; }
    QCheckBox* AllFiles() const { return allFiles_; }
    QCheckBox* RewriteScripts() const { return rewriteScripts_; }
    TextTableModel* Changes() const { return changes_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    esFiles& files_;
    std::string fileKey_;
    const esCheckedEntries& idList_;
    QLabel* heading_;
    QLabel* progress_;
    QProgressBar* busy_;
    QCheckBox* allFiles_;
    QCheckBox* rewriteScripts_;
    QPushButton* scan_;
    QPushButton* cancel_;
    TextTableModel* changes_;
    QTableView* grid_;
    bool running_ = false;
    bool done_ = false;
    bool closeRequested_ = false;
};

} // namespace vellum::ui
