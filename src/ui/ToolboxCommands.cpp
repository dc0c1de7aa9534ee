#include "ui/ToolboxCommands.h"

#include "model/Prompt.h"
#include "template/DataPaths.h"
#include "model/esfile.h"
#include "template/LoadOrder.h"
#include "tools/DirtySettings.h"
#include "ui/EditorContext.h"
#include "ui/StatusProgress.h"
#include "ui/ToolWindowCommands.h"
#include "ui/frmClean.h"
#include "ui/frmConflicts.h"
#include "ui/frmLoadOrder.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QFileInfo>

#include <algorithm>

namespace vellum::ui {

namespace {

std::string NameOf(const esfile& f) { return QFileInfo(QString::fromStdString(f.FileName)).fileName().toStdString(); }

// Shows the file again in the editor when it is the one shown, so that its tree and form
// follow what a tool did to it.
void ShowAgain(frmMain& main, const QString& fileKey) {
    main.Editor().Save();
    if (main.Editor().ShownKey() == fileKey) main.Editor().Showfile(fileKey);
}

// The plug-in's masters, each from the open files or else loaded from the data folder as a
// support file; masters found nowhere are named to the user.
std::vector<esfile*> MastersOf(frmMain& main, esfile& plugin) {
    EditorContext& c = main.Context();
    std::vector<esfile*> masters;
    std::vector<std::string> missing;
    const DataPaths inFolders = DataPaths::ForGame(c.dataFolder);
    for (const auto& m : plugin.esMasterFiles()) {
        const std::string& name = m.value.Name;
        esfile* found = nullptr;
        for (esfile* f : FilesInLoadOrder(main))
            if (f != &plugin && KeysEqual(NameOf(*f), name)) found = f;
        if (!found) {
            if (const auto path = inFolders.Find(name)) found = OpenSupportFile(main, path->string());
        }
        if (found) masters.push_back(found);
        else missing.push_back(name);
    }
    if (!missing.empty()) {
        std::string names;
        for (const std::string& n : missing) names += (names.empty() ? "" : ", ") + n;
        CurrentPrompt().Message("The masters " + names + " are neither open nor in the data folders (" +
                                c.dataFolder.string() + " and openmw.cfg's); records are compared with the "
                                "other masters only.");
    }
    return masters;
}

// Opens the load order's files: the one chosen for editing as File > Open does, the others as
// support files; files open already stay as they are.
void OpenLoadOrder(frmMain& main, const LoadOrder& order, int editable) {
    EditorContext& c = main.Context();
    std::string missing;
    QString edited;
    for (std::size_t i = 0; i < order.files.size(); ++i) {
        const LoadOrder::Entry& e = order.files[i];
        if (e.path.empty()) {
            missing += (missing.empty() ? "" : ", ") + e.name;
            continue;
        }
        const std::string path = e.path.string();
        if (static_cast<int>(i) == editable) {
            main.OpenFiles({QString::fromStdString(path)});
            edited = QString::fromStdString(path);
        } else if (!c.files.IsOpen(path)) {
            OpenSupportFile(main, path);
        }
    }
    main.RebuildFileButtons(edited);
    if (!edited.isEmpty()) main.ClickFileButton(edited);
    if (!missing.empty())
        CurrentPrompt().Message("These files of the load order are in none of its data folders and were not "
                                "opened: " + missing);
}

} // namespace

esfile* OpenSupportFile(frmMain& main, const std::string& path, Progress* progress, bool rebuildButtons) {
    esFiles& files = main.Context().files;
    esfile* file = files.Add(path);
    if (!file) return nullptr;
    file->FileTitle = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    file->IsSupport = true;
    const bool loaded = file->LoadFile(path, false, true, progress ? progress : &main.Progress()) == esfile::kLoaded;
    if (!loaded) files.Remove(path); // nothing half-open stays behind
    if (rebuildButtons) main.RebuildFileButtons(main.CurrentKey());
    return loaded ? file : nullptr;
}

std::vector<esfile*> FilesInLoadOrder(frmMain& main) {
    std::vector<esfile*> files;
    esFiles& all = main.Context().files;
    for (std::size_t i = 1; i <= all.Count(); ++i)
        if (esfile& f = all.Item(i); !f.Clipboard) files.push_back(&f);
    std::stable_partition(files.begin(), files.end(), [](esfile* f) { return f->FileType() == 0; });
    return files;
}

void ConnectToolbox(frmMain& main) {
    ConnectCommand(main, "mnuFileOpenLoadOrder", [&main] {
        EditorContext& c = main.Context();
        frmLoadOrder dialog(LoadOrder::ForUser(DataFolder::ForUser(c.values.DataFolder), c.dataFolder.string()),
                            &main);
        if (dialog.exec() != QDialog::Accepted || !dialog.Order()) return;
        main.Editor().Save();
        OpenLoadOrder(main, *dialog.Order(), dialog.Editable());
    });

    ConnectCommand(main, "mnuToolsConflicts", [&main] {
        main.Editor().Save();
        // Versions go by default into the file shown, else into the plug-in loaded last.
        std::vector<esfile*> files = FilesInLoadOrder(main), editable;
        for (auto it = files.rbegin(); it != files.rend(); ++it)
            if (!(*it)->IsSupport) editable.push_back(*it);
        const std::string shown = main.CurrentKey().toStdString();
        std::stable_partition(editable.begin(), editable.end(), [&](esfile* f) { return f->FileName == shown; });
        if (files.size() < 2) {
            CurrentPrompt().Message("Open two or more files (a plug-in and its masters, or a load order) to see "
                                    "which records they both define.");
            return;
        }
        auto* window = new frmConflicts(files, editable, &main);
        window->setAttribute(Qt::WA_DeleteOnClose);
        main.AdoptFileWindow(window);
        QObject::connect(window, &frmConflicts::FileChanged, &main, [&main](const QString& key) { ShowAgain(main, key); });
        window->show();
    });

    ConnectCommand(main, "mnuToolsCleanPlugin", [&main] {
        esfile* plugin = main.Context().files.Find(main.CurrentKey().toStdString());
        if (!plugin || plugin->IsSupport || plugin->Clipboard) {
            CurrentPrompt().Message("Choose the plug-in to clean on the file bar first; support files are not cleaned.");
            return;
        }
        main.Editor().Save();
        const std::vector<esfile*> masters = MastersOf(main, *plugin);
        DirtySettings dirty;
        dirty.Load(main.Context().folders.Shipped() / DirtySettings::kFileName);
        frmClean window(*plugin, masters, dirty, &main.Context().files.Indexer(), &main.Progress(), &main);
        if (window.exec() == QDialog::Accepted) ShowAgain(main, QString::fromStdString(plugin->FileName));
    });
}

} // namespace vellum::ui
