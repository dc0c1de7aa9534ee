#pragma once

#include "index/ReferenceIndexer.h"
#include "index/UndoHistory.h"
#include "index/esCallbacks.h"
#include "index/esCheckedEntries.h"
#include "index/UnchangedPlace.h"
#include "index/esRelatives.h"
#include "model/KeyedCollection.h"
#include "model/esfile.h"
#include "template/AppSettings.h"
#include "template/PropertyCodec.h"
#include "template/esTextLookups.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum {

class Config;
class Progress;

// The user's operation behind a relatives scan.
enum FileOperation : int { kOpDelete = 0, kOpCut = 1, kOpCopy = 2 };
// The actions a relatives scan proposes for the operation: ancestors' first, descendants' second.
std::pair<int, int> DefaultRelativeActions(int operation, bool safeCut);
// Direction of a relatives scan.
enum RecurseType : int { kRecurseAncestors = 0, kRecurseDescendants = 1, kRecurseBoth = 2 };
// How a paste treats a clipboard record whose ID the destination holds already.
enum class PasteMode { Replace, Merge, Into };

// Every open data file plus the clipboard file ("<Clipboard>", always item 1), and the
// operations that span files: relatives scan, transfer of marked entries, ID change.
class esFiles {
public:
    static constexpr std::string_view kClipboardKey = "<Clipboard>";

    // `templ` outlives the collection; index files go to `indicesDir`. The settings it reads
    // (clipboard replacement, safe cut, records left unpacked) are `settings` when given, which
    // then outlive it, else its own.
    esFiles(const vellum::Config& templ, std::filesystem::path indicesDir, AppSettings* settings = nullptr);
    ~esFiles();
    esFiles(const esFiles&) = delete;
    esFiles& operator=(const esFiles&) = delete;

    // ---- The collection.
    // Creates the file (FileName and SaveFileName = key) or takes `existing`; nullptr when the
    // key is open already. The caller loads it.
    esfile* Add(const std::string& key, std::unique_ptr<esfile> existing = nullptr);
    esfile& Item(std::string_view key);   // std::out_of_range when absent
    esfile& Item(std::size_t position);   // 1-based
    esfile* Find(std::string_view key);
    std::size_t Count() const { return files_.Count(); }
    bool IsOpen(std::string_view key) const { return files_.Exists(key); }
    bool Exists(std::string_view key) const { return files_.Exists(key); }
    // Releases the file in stages, naming each in ProgAction.
    void Remove(std::string_view key);
    void clear(bool clearClipboard);
    void Shutdown();
    // The clipboard in use: the first file marked Clipboard (one saved under a name is not).
    esfile& ClipboardFile();
    std::string ClipboardKey();
    const std::string& KeyOf(std::size_t position) const { return files_.KeyAt(position); }
    // The open files, other than `fileKey` itself, that name it among their masters (names
    // compared without letter case), in collection order. Support files are not among them.
    std::vector<std::string> Dependents(const std::string& fileKey);
    auto begin() { return files_.begin(); }
    auto end() { return files_.end(); }

    // ---- Shared state.
    const vellum::Config& Config() const { return templ_; }
    const PropertyCodec& Codec() const { return codec_; }
    ReferenceIndexer& Indexer() { return indexer_; }
    UndoHistory& History() { return history_; }
    vellum::esTextLookups& esTextLookups() { return lookups_; }
    void BuildTextLookupList();
    vellum::esRelatives& esRelatives() { return relatives_; }
    esCheckedEntries& CleanCheckedNodes() { return cleanChecked_; }
    // The entries ticked in a file's record tree.
    esCheckedEntries& CheckedEntries(std::string_view fileKey);

    // The settings in force: every reader asks them, so a change takes effect at once.
    AppSettings& Settings() { return *settings_; }
    const AppSettings& Settings() const { return *settings_; }
    bool LeaveRecordsUnpacked() const { return settings_->LeaveRecordsUnpacked; }
    // Sets the setting and the files' own flags.
    void SetLeaveRecordsUnpacked(bool value);
    bool Busy = false;
    std::int32_t ProgPercent = 0;
    std::string ProgAction;

    // Asks the running operation to stop; served at once when nothing is busy.
    void CancelProcess(esCancelCallback* window);
    bool CancelRequested() const { return cancel_; }

    // ---- Relatives scan.
    void RecurseRelatives(const std::string& fileKey, const std::string& recordKey,
                          const std::string& subRecordKey, int recurseType, bool markedEntries,
                          int operation, bool clear, const std::string& recordType,
                          Progress* progress);
    // Carries out the actions of esRelatives, in every file they lie in; an empty destination
    // means the clipboard. Afterwards Unchanged() lists the descendants left naming a deleted ID.
    void ProcessRelatives(const std::string& destFileKey, Progress* progress, bool flag = false);
    // The places the last ProcessRelatives or ChangeIDReferences left naming an ID it deleted
    // or changed.
    const std::vector<UnchangedPlace>& Unchanged() const { return unchanged_; }
    // The places a descendant for which no action is chosen leaves naming the ID, as
    // Unchanged() lists them (script source comes with its compiled form); none for any other
    // relative.
    std::vector<UnchangedPlace> PlacesLeftBy(const esRelative& relative);

    // ---- Marks and transfer.
    // Removes everything marked for deletion from the file and re-indexes it.
    void DeleteMarked(const std::string& fileKey, Progress* progress);
    // Copies what is marked for copying in the source into the destination (see
    // docs/paste-rules.md). `flag` is kept for callers; it changes nothing.
    void CopyMarked(const std::string& sourceFileKey, const std::string& destFileKey, bool flag,
                    Progress* progress, bool replaceClipboard, bool mergeRecords,
                    const std::string& destRecordKey, int pasteMergeType);
    // The three paste commands: marks the clipboard's ticked entries (every record when none
    // is ticked) and copies them into `destFileKey`. Into needs `destRecordKey`;
    // `pasteMergeType` 1 takes only clipboard records of that record's type.
    void Paste(const std::string& destFileKey, PasteMode mode, Progress* progress,
               const std::string& destRecordKey = {}, int pasteMergeType = 0);

    // ---- ID change. `idList` holds one entry per changed record (FileKey, RecordKey, OldID,
    // NewID); every property that refers to an old ID is set to the new one and reported, and
    // so are result scripts and condition names that name it; script source only with
    // `rewriteScriptSource` (each such script is reported as needing a recompile), else it is
    // listed in Unchanged(). Searches the file and its dependents, or every open file.
    void ChangeIDReferences(const std::string& fileKey, const esCheckedEntries& idList,
                            bool checkAllFiles, esCallbackStringValue* cbsv, bool rewriteScriptSource = false);

private:
    struct Scan;
    // Marks a cross-file operation busy; on every way out, exceptions included, releases the
    // lookup list, clears the progress text and Busy, and serves a pending cancel request.
    class BusyScope {
    public:
        explicit BusyScope(esFiles& files);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        esFiles& files_;
    };
    class Transfer;
    bool Stop(Progress* progress) const;
    void ServeCancel();
    void ChangeIDsInFile(const std::string& fileKey, const esCheckedEntries& idList, bool showFile,
                         esCallbackStringValue* cbsv, bool rewriteScriptSource);
    void NoteUnchanged();

    const vellum::Config& templ_;
    AppSettings ownSettings_;
    AppSettings* settings_;
    PropertyCodec codec_;
    ReferenceIndexer indexer_;
    KeyedCollection<std::unique_ptr<esfile>> files_;
    KeyedCollection<esCheckedEntries> checked_;
    vellum::esTextLookups lookups_;
    vellum::esRelatives relatives_;
    esCheckedEntries cleanChecked_;
    std::vector<UnchangedPlace> unchanged_;
    bool cancel_ = false;
    esCancelCallback* cancelWindow_ = nullptr;
    UndoHistory history_{*this};
};

} // namespace vellum
