#pragma once

#include "index/esCallbacks.h"
#include "model/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

#include <string>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace vellum {
class esFiles;
}

namespace vellum::ui {

class RelativesModel;

// The safe-editing wizard before a delete, cut or copy: scans the selection's relatives, shows the
// selection, the ancestors and the descendants with an action each, and carries the actions out
// on Complete Operation. A busy bar stands for the search animation.
class frmScanRelatives : public QDialog, public Progress, public esCancelCallback {
    Q_OBJECT
public:
    void reject() override;
    enum Operation { kDelete = 0, kCut = 1, kCopy = 2 };
    enum Step { kSelection, kAncestors, kDescendants, kFinish };
    // The selection: the marked entries, one record or subrecord, or a whole record type.
    struct Selection {
        std::string fileKey;
        std::string recordKey;
        std::string subRecordKey;
        std::string recordType;
        bool marked = false;
    };

    frmScanRelatives(esFiles& files, Selection selection, int operation, Progress* mainProgress = nullptr,
                     QWidget* parent = nullptr);

    QString Caption() const;
    static QString SkipWarning();

    void Start();          // the first scan, by operation
    void Fetch();          // on the ancestors or descendants step
    void Skip();
    void CompleteOperation();
    void GoToStep(int step);

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;
    bool Cancelled() const override { return false; } // cancelling goes through esFiles
    void CallbackCancel() override;

    QTabWidget* Steps() const { return tabs_; }
    RelativesModel* Model(int step) const { return models_[step]; }
    QLabel* Info() const { return info_; }
    QLabel* FinishText() const { return finishText_; }
    bool Skipped() const { return skipped_; }
    bool Completed() const { return completed_; }

signals:
    void OperationCompleted();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* MakeStep(int step);
    void Run(int recurseType, int action, bool clear);
    void RefreshModels();
    void UpdateButtons();

    esFiles& files_;
    Selection selection_;
    int operation_;
    Progress* mainProgress_;
    QTabWidget* tabs_;
    RelativesModel* models_[3] = {};
    QLabel* info_;
    QLabel* finishText_;
    QProgressBar* busy_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* fetch_;
    QPushButton* skip_;
    QPushButton* finish_;
    QPushButton* cancel_;
    QElapsedTimer sinceYield_;
    bool started_ = false;
    bool running_ = false;
    bool skipped_ = false;
    bool completed_ = false;
    bool closeRequested_ = false;
};

} // namespace vellum::ui
