#include "ui/ToolWindowCommands.h"

#include "index/IndexManager.h"
#include "index/HistoryScope.h"
#include "index/ReferenceIndexer.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "template/Search.h"
#include "tools/ToolLauncher.h"
#include "tools/ToolRunner.h"
#include "ui/EditCommands.h"
#include "ui/EditorContext.h"
#include "ui/StatusProgress.h"
#include "ui/ToolboxCommands.h"
#include "ui/ToolsMenuActions.h"
#include "ui/frmDump.h"
#include "ui/frmIndex.h"
#include "ui/frmInsertRecord.h"
#include "ui/frmInsertSubrecord.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"
#include "ui/frmRawData.h"
#include "ui/frmSearch.h"
#include "ui/frmSearchAll.h"
#include "ui/frmSortSubrecords.h"
#include "ui/frmStatistics.h"
#include "ui/frmSupport.h"
#include "ui/frmTools.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>

#include <memory>
#include <optional>

namespace vellum::ui {

namespace {

esfile* CurrentFile(frmMain& main) { return main.Context().files.Find(main.CurrentKey().toStdString()); }

std::vector<esfile*> OpenFiles(frmMain& main) {
    std::vector<esfile*> files;
    esFiles& all = main.Context().files;
    for (std::size_t i = 1; i <= all.Count(); ++i)
        if (esfile& f = all.Item(i); !f.Clipboard) files.push_back(&f);
    return files;
}

void Show(frmMain& main, const std::string& fileKey, const std::string& recordKey, const std::string& subKey) {
    main.ClickFileButton(QString::fromStdString(fileKey));
    main.Editor().GotoRecord(recordKey.substr(0, 4), recordKey, fileKey, subKey, true);
    main.raise();
    main.activateWindow();
}

void OpenToolsManager(frmMain& main);

void RebuildTools(frmMain& main) {
    QMenu* tools = main.findChild<QMenu*>("mnuTools");
    if (!tools) return;
    RebuildToolsMenu(tools, main.Context().settings, [&main](const std::string& value) {
        static ProcessLauncher launcher;
        if (ToolRunner(launcher).Run(value) == ToolRunner::Result::OpenManager) OpenToolsManager(main);
    });
}

void OpenToolsManager(frmMain& main) {
    frmTools window(main.Context().settings, main.Context().folders.SignaturesFile(), &main);
    window.exec();
    RebuildTools(main);
}

} // namespace

void ConnectCommand(frmMain& main, const char* name, std::function<void()> act) {
    QAction* action = main.Command(name);
    if (!action) return;
    QObject::connect(action, &QAction::triggered, &main, [act = std::move(act)] { act(); });
}

void ConnectToolWindows(frmMain& main) {
    ConnectCommand(main, "mnuEditRawData", [&main] {
        esfile* file = main.Editor().File();
        if (!file || file->CurrentRecordKey.empty()) return;
        main.Editor().Save();
        frmRawData window(*file, main.Context().folders.DumpsFolder(), &main);
        window.exec();
        main.Editor().RefreshForm();
    });

    ConnectCommand(main, "mnuEditFind", [&main] {
        static QPointer<frmSearch> window;
        if (!window) {
            window = new frmSearch(main.Context().templ, &main);
            window->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(window, &frmSearch::FindRequested, &main, [&main](const SearchCriteria& criteria) {
                esfile* file = main.Editor().File();
                if (!file) return;
                std::vector<esfile*> scope = criteria.AllFiles ? OpenFiles(main) : std::vector<esfile*>{file};
                SearchHit from;
                from.FileKey = file->FileName;
                from.RecordKey = file->CurrentRecordKey;
                from.SubRecordKey = file->CurrentSubRecordKey;
                const std::optional<SearchHit> hit =
                    Search(scope, criteria, &main.Progress()).FindNext(from.RecordKey.empty() ? nullptr : &from);
                main.Progress().DoneWaiting();
                if (hit)
                    Show(main, hit->FileKey, hit->RecordKey, hit->SubRecordKey);
                else
                    CurrentPrompt().Message("No further matches were found.");
            });
        }
        window->show();
        window->raise();
        main.SetStatusText();
    });

    ConnectCommand(main, "mnuEditFindAll", [&main] {
        auto* window = new frmSearchAll(main.Context().templ, [&main] { return OpenFiles(main); }, CurrentFile(main),
                                        &main.Progress(), &main);
        window->setAttribute(Qt::WA_DeleteOnClose);
        main.AdoptFileWindow(window);
        QObject::connect(window, &frmSearchAll::GoTo, &main,
                         [&main](const QString& f, const QString& r, const QString& s) {
                             Show(main, f.toStdString(), r.toStdString(), s.toStdString());
                         });
        window->show();
    });

    ConnectCommand(main, "mnuFileDump", [&main] {
        if (esfile* file = CurrentFile(main)) {
            main.Editor().Save();
            frmDump window(*file, main.Context().folders.DumpsFolder(), &main);
            window.exec();
        }
    });

    ConnectCommand(main, "mnuFileStatistics", [&main] {
        if (esfile* file = CurrentFile(main)) {
            frmStatistics window(*file, &main);
            window.exec();
        }
    });

    ConnectCommand(main, "mnuFileIndexManager", [&main] {
        frmIndex window(main.Context().dataFolder, main.Context().folders.IndicesFolder(),
                        [&main](const std::string& path, Progress* progress) {
                            index_manager::IndexDataFile(main.Context().files, path, progress);
                        },
                        &main);
        bool support = false;
        QObject::connect(&window, &frmIndex::OpenSupportFiles, [&support] { support = true; });
        window.exec();
        if (support) main.Command("mnuSupportFiles")->trigger();
    });

    ConnectCommand(main, "mnuSupportFiles", [&main] {
        std::vector<esfile*> plugins;
        for (esfile* f : OpenFiles(main))
            if (!f->IsSupport) plugins.push_back(f);
        EditorContext& c = main.Context();
        frmSupport window(plugins, DataPaths::ForGame(c.dataFolder),
                          {[&c](const std::string& path) { return c.files.IsOpen(path); },
                           [&main](const std::string& path, Progress* progress) {
                               return OpenSupportFile(main, path, progress) != nullptr;
                           }},
                          &main);
        bool indices = false;
        QObject::connect(&window, &frmSupport::OpenIndexManager, [&indices] { indices = true; });
        window.exec();
        if (indices) main.Command("mnuFileIndexManager")->trigger();
    });

    ConnectCommand(main, "mnuInsertRecord", [&main] {
        esfile* file = main.Editor().File();
        if (!file || file->IsSupport) return;
        frmInsertRecord dialog(file->Template(), &main);
        if (dialog.exec() != QDialog::Accepted || dialog.Result().isEmpty()) return;
        main.Editor().Save();
        const std::string type = dialog.Result().toStdString();
        const std::size_t before = file->Records().size();
        HistoryScope step(*file, "Insert " + type + " Record");
        const int index = file->AddRecord(type);
        if (index < 0) return;
        const std::string key = file->Records()[static_cast<std::size_t>(index)].Key;
        if (file->Records().size() == before) {
            // A type allowed once per file: nothing was added; the existing record is shown.
            CurrentPrompt().Message("The Record could not be added because there is already a " + type +
                                    " record in the file.\n\nOnly one " + type + " record is allowed per file.");
            main.Editor().GotoRecord(key.substr(0, 4), key, file->FileName, {}, true);
            return;
        }
        file->Changed = true;
        main.Editor().Showfile(main.Editor().ShownKey());
        main.Editor().GotoRecord(key.substr(0, 4), key, file->FileName, {}, true);
    });

    ConnectCommand(main, "mnuInsertSubRecord", [&main] {
        esfile* file = main.Editor().File();
        if (!file || file->IsSupport || file->CurrentRecordKey.empty()) return;
        const std::string record = file->CurrentRecordKey;
        frmInsertSubrecord dialog(*file, record, &main);
        if (dialog.exec() != QDialog::Accepted || dialog.Result().isEmpty()) return;
        main.Editor().Save();
        HistoryScope step(*file, "Insert " + dialog.Result().toStdString() + " Subrecord");
        const std::string key = file->AddSubrecord(record, dialog.Result().toStdString());
        if (key == "@NOTUNIQUE") {
            CurrentPrompt().Message("Only one subrecord of this type may exist in a record.");
            return;
        }
        file->Changed = true;
        main.Editor().Showfile(main.Editor().ShownKey());
        main.Editor().GotoRecord(record.substr(0, 4), record, file->FileName, key, true);
    });

    ConnectCommand(main, "mnuEditSortSubrecords", [&main] {
        esfile* file = main.Editor().File();
        if (!file || file->IsSupport || file->CurrentRecordKey.empty()) return;
        const std::string record = file->CurrentRecordKey;
        main.Editor().Save();
        frmSortSubrecords dialog(*file, record, &main);
        if (dialog.exec() == QDialog::Accepted) {
            main.Editor().Showfile(main.Editor().ShownKey());
            main.Editor().GotoRecord(record.substr(0, 4), record, file->FileName, {}, false);
        }
    });

    ConnectCommand(main, "mnuATManage", [&main] { OpenToolsManager(main); });

    ConnectEditCommands(main);
    ConnectToolbox(main);
    RebuildTools(main);
}

} // namespace vellum::ui
