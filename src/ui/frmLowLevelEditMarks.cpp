// Ticked entries of the low-level editor: mark all, unmark, the marked-entries page, and the
// clipboard file's contents.
#include "ui/frmLowLevelEdit.h"

#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/frmMain.h"

#include <QTreeView>

namespace vellum::ui {

void frmLowLevelEdit::MarkAll() {
    if (!file_ || busy_)
        return;
    for (int row = 0; row < model_->rowCount(); ++row)
        model_->setData(model_->index(row, 0), Qt::Checked, Qt::CheckStateRole);
}

void frmLowLevelEdit::UnMark() {
    if (!file_ || busy_)
        return;
    model_->ClearMarks();
    UpdateEditCommands();
    RefreshForm();
}

void frmLowLevelEdit::ShowMarked() {
    if (!file_ || busy_)
        return;
    CommitForm();
    file_->CurrentRecordKey.clear();
    file_->CurrentSubRecordKey.clear();
    tree_->clearSelection();
    page_ = 0;
    BuildForm();
}

void frmLowLevelEdit::ClearClipboard() {
    if (busy_)
        return;
    esfile& clipboard = context_.files.ClipboardFile();
    const bool shown = file_ == &clipboard;
    if (shown)
        FileClosing(ShownKey());
    clipboard.ClearRecords(&main_.Progress());
    main_.Progress().DoneWaiting();
    if (shown)
        main_.ClickFileButton(main_.CurrentKey());
}

} // namespace vellum::ui
