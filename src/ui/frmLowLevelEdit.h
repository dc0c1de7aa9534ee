#pragma once

#include "index/esHistory.h"
#include "ui/FormBuilder.h"
#include "ui/esLLFormEntry.h"

#include <QPointer>
#include <QWidget>

#include <string>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QSplitter;
class QTimer;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class EditorContext;
class PropertyForm;
class RecordTreeModel;
class TopicView;
class frmDebug;
class frmMain;

// The low-level editor: the record tree of one file beside the property form of its selection.
// Commands on records arrive here from the main window.
class frmLowLevelEdit : public QWidget {
    Q_OBJECT
public:
    frmLowLevelEdit(frmMain& main, QWidget* parent = nullptr);
    ~frmLowLevelEdit() override;

    bool Busy() const { return busy_; }
    // Shows the file under `key`; false when there is no such file or the editor is busy.
    bool Showfile(const QString& key);
    QString ShownKey() const { return QString::fromStdString(fileKey_); }
    esfile* File() const { return file_; }
    // Forgets the shown file when it is `key` (before the file closes).
    void FileClosing(const QString& key);

    // Selects the entry by keys (empty keys stop the descent), as a click would.
    // The tree takes the focus at the end unless `focusTree` is off (the topic view keeps it).
    // A record the filter hides stops the descent at its category, unless the move is the
    // user's (`addHistory`): then the filter is cleared to show it.
    void GotoRecord(const std::string& catKey, const std::string& recordKey, const std::string& fileKey,
                    const std::string& subRecordKey, bool addHistory, bool focusTree = true);
    void Back();
    void Forward();
    void UpLevel();

    // The selection by what outlives a change of record keys: its category, the record's ID and
    // place among the records of that ID, the subrecord's position.
    struct SelectionAnchor {
        std::string fileKey, category, id;
        int sameIdBefore = 0;
        bool record = false;
        int subrecord = -1;
    };
    SelectionAnchor Anchor() const;
    // Shows the anchor's file again, its tree rebuilt, at the anchored entry, or where it is gone
    // at the nearest entry that remains: the record that followed it in the tree (the one before
    // when it was the last, the category when none is left) and the subrecord that took its
    // place (the one before when it was the last, the record when none is left).
    void Reselect(const SelectionAnchor& anchor);

    // The filter over the tree (Ctrl+L): text, /expression/ and toggles above it.
    void FocusFilter();
    void ClearFilter();
    // Applies the field and toggles at once (typing waits for a pause in a big file). A
    // selection the filter hides moves to its category, and comes back once a filter shows its
    // record again.
    void ApplyFilter();
    // True when the filter hides the record.
    bool FilterHides(const std::string& recordKey) const;
    // With a category selected under a filter, ticks the records it shows there, for a command
    // that would act on the whole category; how many.
    std::size_t TickShownRecords();

    // Ticked entries: every category, none, the page listing them; emptying the clipboard file.
    void MarkAll();
    void UnMark();
    void ShowMarked();
    void ClearClipboard();

    // Commits pending form edits (before saving, closing, or a selection change).
    void Save();
    void BuildForm();
    void RefreshForm();
    void RefreshCaptions();
    void RebuildIndex();
    void ChangeType(int fileType);
    void SetEnableDelete() { UpdateEditCommands(); }
    void SetHotTracking();
    void LoadbgImage();
    // Gives the tree and the form their first shares of the window again (after a layout change).
    void ResizeMe();
    void SetDebugWindow(frmDebug* window);

    QTreeView* Tree() const { return tree_; }
    RecordTreeModel* Model() const { return model_; }
    PropertyForm* Form() const { return form_; }
    TopicView* Topic() const { return topic_; }
    esLLFormEntries& Entries() { return entries_; }
    esHistory& History() { return history_; }
    int FormPage() const { return page_; }
    QMenu* PopupMenu() const { return popup_; }
    QLineEdit* FilterField() const { return filterField_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NodeClicked(const QModelIndex& index, bool addHistory);
    void SelectIndex(const QModelIndex& index, bool addHistory);
    void CloseOpenNodes();
    void ReportUnloading();
    void SetNavButtons();
    void UpdateEditCommands();
    void ShowPopupMenu(const QPoint& pos);
    void HeadingCommand(const QString& command, const QString& recordKey, const QString& subKey);
    void GoToPage(int delta);
    void GoToId(const QString& id, const QString& recordTypes);
    // The lookup window over the file and its open masters; the chosen ID or empty.
    QString LookupID(const esLLFormEntry& e);
    // The parent lookup window over the parent type's records; the chosen parent's ID or empty.
    QString LookupParent(const esLLFormEntry& e);
    void GoToParent(const QString& id, const QString& parentType);
    void CommitForm();
    void OfferReferenceScan(const std::vector<FormBuilder::IdChange>& changes);
    void WriteDebugListing();
    // The topic view follows a selected topic or response; hidden otherwise.
    void UpdateTopicView();
    void BuildFilterBar(QVBoxLayout* layout);
    void ShowFilterState();
    bool FilterKey(QKeyEvent* key);
    // The tree takes the keys, at the first record shown when the selection shows no record.
    void FocusTreeAtMatch();
    void RevealRecord(const std::string& recordKey);

    frmMain& main_;
    EditorContext& context_;
    esfile* file_ = nullptr;
    std::string fileKey_;
    QSplitter* splitter_;
    QTreeView* tree_;
    QLabel* waitLabel_;
    RecordTreeModel* model_;
    PropertyForm* form_;
    TopicView* topic_;
    QMenu* popup_;
    esLLFormEntries entries_;
    esHistory history_;
    QPointer<frmDebug> debug_;
    QLineEdit* filterField_;
    QToolButton* tickedOnly_;
    QToolButton* changedOnly_;
    QLabel* filterState_;
    QTimer* filterTimer_;
    std::string hiddenChoice_; // the record the user last chose, while the filter hides it
    int page_ = 0;
    bool busy_ = false;
    bool splitSet_ = false;
    bool selecting_ = false;
    bool topicStale_ = true; // records may have changed since the topic view read them
};

} // namespace vellum::ui
