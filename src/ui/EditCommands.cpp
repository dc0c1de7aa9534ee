#include "ui/EditCommands.h"

#include "index/esCheckedEntries.h"
#include "index/esFiles.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/StatusProgress.h"
#include "ui/ToolWindowCommands.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmMergeOptions.h"
#include "ui/frmReferences.h"
#include "ui/frmScanRelatives.h"

#include <QAction>

namespace vellum::ui {

namespace {

// The editor shows the file again, its tree rebuilt, at the entry that was selected or the
// nearest one that remains.
void Reshow(frmMain& main, const frmLowLevelEdit::SelectionAnchor& anchor) {
    main.RebuildFileButtons(QString::fromStdString(anchor.fileKey));
    main.Editor().Reselect(anchor);
}

void CopyCutDelete(frmMain& main, int mode) {
    EditorContext& c = main.Context();
    esfile* file = main.Editor().File();
    if (!file || main.Editor().Busy()) return;
    if (mode != frmScanRelatives::kCopy && file->IsSupport) {
        CurrentPrompt().Message("Support files cannot be changed. Use \"Edit Support File\" first.");
        return;
    }
    main.Editor().Save();
    const std::string fileKey = file->FileName;
    frmScanRelatives::Selection selection{fileKey, file->CurrentRecordKey, file->CurrentSubRecordKey,
                                          file->CurrentCatKey, c.files.CheckedEntries(fileKey).Count() > 0};
    if (!selection.marked && selection.recordKey.empty() && selection.recordType.empty()) return;
    if (selection.marked) selection.recordKey.clear(), selection.subRecordKey.clear();
    if (mode == frmScanRelatives::kDelete && !c.values.EnableDelete) return;
    // Under a filter a category stands for the records it shows: they are ticked for the
    // command alone, and the ticks go again however it ends.
    struct Ticks {
        esCheckedEntries* marks = nullptr;
        ~Ticks() { if (marks) marks->clear(); }
    } forCommand;
    std::string what = selection.marked                 ? "the marked entries"
                       : !selection.subRecordKey.empty() ? "the selected subrecord"
                       : !selection.recordKey.empty()    ? "the selected record"
                                                         : "every record of the selected category";
    if (!selection.marked && selection.recordKey.empty() && main.Editor().Model()->Filtered()) {
        forCommand.marks = &c.files.CheckedEntries(fileKey);
        const std::size_t shown = main.Editor().TickShownRecords();
        if (shown == 0) return;
        selection.marked = true;
        what = "the " + std::to_string(shown) + " records of the category that the filter shows";
    }
    const bool ask = mode == frmScanRelatives::kDelete ? c.values.ConfirmDelete
                     : mode == frmScanRelatives::kCut  ? c.values.ConfirmCut
                                                       : false;
    if (ask) {
        const std::string verb = mode == frmScanRelatives::kDelete ? "delete" : "cut";
        if (CurrentPrompt().Ask("Are you sure you want to " + verb + " " + what + "?", Buttons::YesNo) != Answer::Yes)
            return;
    }
    const auto anchor = main.Editor().Anchor();

    if (c.values.EnableSafeEdit) {
        frmScanRelatives wizard(c.files, selection, mode, &main.Progress(), &main);
        if (wizard.exec() != QDialog::Accepted) return;
    } else {
        // Without safe editing the selection alone is acted on.
        BusyGuard busy;
        c.files.RecurseRelatives(fileKey, selection.recordKey, selection.subRecordKey, -1, selection.marked, mode,
                                 true, selection.recordType, &main.Progress());
        c.files.ProcessRelatives("", &main.Progress());
        main.Progress().DoneWaiting();
    }
    if (mode != frmScanRelatives::kCopy || forCommand.marks) c.files.CheckedEntries(fileKey).clear();
    Reshow(main, anchor);
}

void Paste(frmMain& main, PasteMode mode) {
    EditorContext& c = main.Context();
    esfile* file = main.Editor().File();
    if (!file || file->Clipboard || file->IsSupport || main.Editor().Busy()) return;
    main.Editor().Save();
    const std::string fileKey = file->FileName;
    const std::string record = file->CurrentRecordKey;
    const auto anchor = main.Editor().Anchor();
    int mergeType = 0;
    if (mode == PasteMode::Into) {
        if (record.empty()) {
            CurrentPrompt().Message("Select the record to paste the subrecords into first.");
            return;
        }
        frmMergeOptions options(&main);
        options.exec();
        mergeType = options.PasteMergeType();
        if (mergeType < 0) return;
    }
    {
        BusyGuard busy;
        c.files.Paste(fileKey, mode, &main.Progress(), mode == PasteMode::Into ? record : std::string(), mergeType);
        main.Progress().DoneWaiting();
    }
    Reshow(main, anchor);
}

void FindRefs(frmMain& main) {
    esfile* file = main.Editor().File();
    if (!file || file->CurrentRecordKey.empty()) return;
    main.Editor().Save();
    auto* browser = new frmReferences(main.Context().files, file->FileName, &main.Progress(), &main);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    main.AdoptFileWindow(browser);
    QObject::connect(browser, &frmReferences::GoTo, &main, [&main](const QString& f, const QString& r) {
        main.ClickFileButton(f);
        main.Editor().GotoRecord(r.left(4).toStdString(), r.toStdString(), f.toStdString(), {}, true);
    });
    QObject::connect(browser, &frmReferences::MarksChanged, &main, [&main] { main.Editor().RefreshCaptions(); });
    QObject::connect(&main, &frmMain::FilesMayHaveChanged, browser, &frmReferences::RefreshIfChanged);
    browser->Browse(file->CurrentRecordKey);
    browser->show();
}

} // namespace

void ConnectEditCommands(frmMain& main) {
    ConnectCommand(main, "mnuEditDelete", [&main] { CopyCutDelete(main, frmScanRelatives::kDelete); });
    ConnectCommand(main, "mnuEditCut", [&main] { CopyCutDelete(main, frmScanRelatives::kCut); });
    ConnectCommand(main, "mnuEditCopy", [&main] { CopyCutDelete(main, frmScanRelatives::kCopy); });
    ConnectCommand(main, "mnuEditPaste", [&main] { Paste(main, PasteMode::Replace); });
    ConnectCommand(main, "mnuEditPasteAdd", [&main] { Paste(main, PasteMode::Merge); });
    ConnectCommand(main, "mnuEditPasteSubrecords", [&main] { Paste(main, PasteMode::Into); });
    ConnectCommand(main, "mnuEditFindRefs", [&main] { FindRefs(main); });
}

} // namespace vellum::ui
