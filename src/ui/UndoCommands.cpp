#include "ui/UndoCommands.h"

#include "index/esFiles.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/EditorContext.h"
#include "ui/RecordTreeModel.h"
#include "ui/StatusProgress.h"
#include "ui/frmHistory.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

#include <functional>

namespace vellum::ui {

namespace {

// Shows the pressed file again after the history moved, at the record it was at while that
// record is still there.
void ShowAfterMove(frmMain& main, const std::vector<std::string>& touched) {
    if (touched.empty()) return;
    const QString shown = main.Editor().ShownKey();
    main.RebuildFileButtons(shown);
    esfile* file = main.Context().files.Find(shown.toStdString());
    if (!file) return;
    const std::string cat = file->CurrentCatKey, rec = file->CurrentRecordKey;
    const bool recordLeft = !rec.empty() && file->esRecArrayIndex().Exists(rec);
    // The tree is built afresh: the categories the user had open open again.
    QTreeView* tree = main.Editor().Tree();
    RecordTreeModel* model = main.Editor().Model();
    std::vector<std::string> open;
    for (int row = 0; row < model->rowCount(); ++row)
        if (const QModelIndex c = model->index(row, 0); tree->isExpanded(c)) open.push_back(model->KeyOf(c));
    if (!main.Editor().Showfile(shown)) return;
    for (const std::string& type : open)
        if (const QModelIndex c = model->CategoryIndex(type); c.isValid()) tree->expand(c);
    if (!cat.empty())
        main.Editor().GotoRecord(cat, recordLeft ? rec : std::string(), file->FileName, {}, false);
}

void Move(frmMain& main, const std::function<std::vector<std::string>(UndoHistory&, Progress*)>& move) {
    if (main.Editor().Busy()) return;
    main.Editor().Save(); // a pending form edit becomes a step of its own first
    std::vector<std::string> touched;
    {
        BusyGuard busy;
        touched = move(main.Context().files.History(), &main.Progress());
    }
    ShowAfterMove(main, touched);
}

} // namespace

void ConnectUndoCommands(frmMain& main) {
    auto* undo = new QAction("&Undo", &main);
    undo->setObjectName("mnuEditUndo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto* redo = new QAction("&Redo", &main);
    redo->setObjectName("mnuEditRedo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    auto* history = new QAction("&History...", &main);
    history->setObjectName("mnuEditHistory");

    QObject::connect(undo, &QAction::triggered, &main, [&main] {
        Move(main, [](UndoHistory& h, Progress* p) { return h.Undo(p); });
    });
    QObject::connect(redo, &QAction::triggered, &main, [&main] {
        Move(main, [](UndoHistory& h, Progress* p) { return h.Redo(p); });
    });
    QObject::connect(history, &QAction::triggered, &main, [&main] {
        main.Editor().Save();
        frmHistory dialog(main.Context().files.History(), &main);
        if (dialog.exec() != QDialog::Accepted || dialog.Chosen() < 0) return;
        const auto to = static_cast<std::size_t>(dialog.Chosen());
        Move(main, [to](UndoHistory& h, Progress* p) { return h.JumpTo(to, p); });
    });

    QMenu* edit = main.findChild<QMenu*>("mnuEdit");
    if (!edit) return;
    QAction* first = edit->actions().value(0);
    edit->insertActions(first, {undo, redo, history});
    edit->insertSeparator(first);
    // Named for the step at hand each time the menu opens; enabled again on closing, so that
    // the keys never wait for the menu to have been opened.
    QObject::connect(edit, &QMenu::aboutToShow, &main, [&main, undo, redo] {
        const UndoHistory& h = main.Context().files.History();
        undo->setText(h.CanUndo() ? QString::fromStdString("&Undo " + h.UndoName()) : "&Undo");
        redo->setText(h.CanRedo() ? QString::fromStdString("&Redo " + h.RedoName()) : "&Redo");
        undo->setEnabled(h.CanUndo());
        redo->setEnabled(h.CanRedo());
    });
    QObject::connect(edit, &QMenu::aboutToHide, &main, [undo, redo] {
        undo->setEnabled(true);
        redo->setEnabled(true);
    });
}

} // namespace vellum::ui
