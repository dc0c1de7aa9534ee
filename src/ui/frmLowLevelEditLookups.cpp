// The low-level editor's lookup windows: the IDs a reference may name, with the masters that
// are not open offered as support files, and the parent a child record may move to.
#include "ui/frmLowLevelEdit.h"

#include "index/DialogueChain.h"
#include "model/Prompt.h"
#include "model/SupportFiles.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/DataFolder.h"
#include "template/DataPaths.h"
#include "ui/EditorContext.h"
#include "ui/LegacyText.h"
#include "ui/RecordCategories.h"
#include "ui/StatusProgress.h"
#include "ui/ToolboxCommands.h"
#include "ui/frmLookup.h"
#include "ui/frmMain.h"
#include "ui/frmParentLookup.h"

#include <QTimer>

#include <algorithm>
#include <filesystem>

namespace vellum::ui {

QString frmLowLevelEdit::LookupID(const esLLFormEntry& e) {
    if (!file_)
        return {};
    auto open = [this] {
        std::vector<const esfile*> files;
        for (std::size_t i = 1; i <= context_.files.Count(); ++i)
            if (const esfile& f = context_.files.Item(i); !f.Clipboard)
                files.push_back(&f);
        return files;
    };
    bool loaded = false;
    auto loadMasters = [this, &loaded](const std::vector<std::string>& names) {
        const auto asked = [&names](const std::string& file) {
            const std::string name = std::filesystem::path(file).filename().string();
            return std::any_of(names.begin(), names.end(), [&name](const std::string& n) { return KeysEqual(n, name); });
        };
        SupportFiles plugin({file_});
        const DataPaths folders = DataPaths::ForGame(context_.dataFolder);
        const auto masters =
            plugin.MastersToLoad(folders, [this](const std::string& path) { return context_.files.IsOpen(path); });
        std::string absent, failed, searched;
        const auto add = [](std::string& list, const std::string& item) { list += (list.empty() ? "" : ", ") + item; };
        for (const std::string& path : masters.paths)
            if (asked(path)) {
                if (OpenSupportFile(main_, path, &main_.Progress(), false))
                    loaded = true;
                else
                    add(failed, path);
            }
        for (const std::string& name : masters.missing)
            if (asked(name)) add(absent, name);
        for (const auto& folder : folders.Folders()) add(searched, DataFolder::WithSlash(folder));
        if (!absent.empty())
            CurrentPrompt().Message(std::string(folders.Folders().size() == 1 ? "Not found in the data folder "
                                                                              : "Not found in the data folders ") +
                                    searched + ": " + absent + ".");
        if (!failed.empty()) CurrentPrompt().Message("These master files could not be loaded: " + failed + ".");
    };
    const auto* value = std::get_if<std::string>(&e.Data);
    frmLookup dialog(*file_, {open, loadMasters},
                     frmLookup::LookupTypes(*file_, e.RecordType + "." + e.SubrecordType + "." + e.PropertyName),
                     value ? FromFileText(*value) : QString(), &main_.Progress(), this);
    main_.Progress().DoneWaiting();
    const QString result = dialog.exec() == QDialog::Accepted ? dialog.Result() : QString();
    // The new support files get their buttons once the field holds its value: rebuilding them
    // rebuilds the form, which commits it.
    if (loaded)
        QTimer::singleShot(0, &main_, [this] { main_.RebuildFileButtons(); });
    return result;
}

QString frmLowLevelEdit::LookupParent(const esLLFormEntry& e) {
    if (!file_ || !file_->esRecArrayIndex().Exists(e.RecordKey))
        return {};
    frmParentLookup dialog(*file_, e.ParentType, FromFileText(std::string(CategoryCaption(e.ParentType))), this);
    const auto* cat = file_->esRecArrayCatIndex().Item(e.ParentType);
    const auto* id = std::get_if<std::string>(&e.Data);
    if (const esRecIDEntry* at = cat && id ? cat->esRecIDIndex.Find(*id) : nullptr)
        dialog.Select(QString::fromStdString(file_->Records().at(at->IndexNumber).Key));
    if (dialog.exec() != QDialog::Accepted || dialog.Result().isEmpty())
        return {};
    const RecordEntry& parent = file_->Rec(dialog.Result().toStdString());
    if (DialogueChain::DialogueType(*file_, parent) != DialogueChain::DialogueType(*file_, file_->Rec(e.RecordKey))) {
        CurrentPrompt().Message("A response can only move to a topic of its own kind (topic, voice, greeting, "
                                "persuasion or journal).");
        return {};
    }
    return FromFileText(parent.ID);
}

void frmLowLevelEdit::GoToParent(const QString& id, const QString& parentType) {
    const auto* cat = file_ ? file_->esRecArrayCatIndex().Item(parentType.toStdString()) : nullptr;
    const esRecIDEntry* at = cat ? cat->esRecIDIndex.Find(ToFileText(id)) : nullptr;
    if (at && at->IndexNumber >= 0 && at->IndexNumber < static_cast<int>(file_->Records().size()))
        GotoRecord(parentType.toStdString(), file_->Records()[at->IndexNumber].Key, fileKey_, {}, true);
}

} // namespace vellum::ui
