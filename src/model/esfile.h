#pragma once

#include "index/esKeys.h"
#include "index/esRecArrayCatIndex.h"
#include "index/esRecArrayIndex.h"
#include "model/Bytes.h"
#include "model/ChangeFlag.h"
#include "model/RecordChange.h"
#include "model/RecordEntry.h"
#include "model/RecordRef.h"
#include "model/esMasterFiles.h"
#include "template/PropertyCodec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Config;
struct Group;
class FileBuffer;
class AtomicOutput;
class FileWriter;
class Progress;
class ReferenceIndexBuilder;
class UndoHistory;

// One open data file (.esm, .esp, .ess, .EST): its records in one array, entry 0 the "TES3"
// header record, with the key, category and ID indexes over them. Records keep their raw bytes
// (views into the file read in one go) until something unpacks them.
class esfile {
public:
    // LoadFile results.
    enum : int { kLoaded = 0, kTooSmall = -1, kMissing = -2, kReadError = -3 };
    static constexpr std::int64_t kMinimumSize = 308;

    explicit esfile(const PropertyCodec& codec);
    ~esfile();
    esfile(const esfile&) = delete;
    esfile& operator=(const esfile&) = delete;

    const PropertyCodec& Codec() const { return codec_; }
    const Config& Template() const { return codec_.Template(); }

    // ---- Plain state, read and written freely.
    std::string FileName, FileTitle, SaveFileName;
    bool Loaded = false;
    ChangeFlag Changed; // every `Changed = true` is a new Revision()
    bool Busy = false;
    bool Cancelled = false;
    std::string ProgAction;
    float ProgPercent = 0;
    bool IsTemplate = false;
    bool IsSupport = false;
    bool Clipboard = false;
    bool FileExists = false;
    bool LeaveRecordsUnpacked = false;
    bool SortOnSave = false; // records grouped by type in the template's order, else kept as they are
    std::string CurrentRecordKey, CurrentSubRecordKey, CurrentCatKey; // empty: no selection

    // Tells this file object from every other of the run, also from one made later at the same
    // address; with Revision() it names a state of the file's contents.
    std::uint64_t Serial() const { return serial_; }
    std::uint64_t Revision() const { return Changed.Revision(); }

    // ---- Records.
    std::vector<RecordEntry>& Records() { return records_; }
    const std::vector<RecordEntry>& Records() const { return records_; }
    int LastIndex() const { return lastIndex_; }
    void SetLastIndex(int last) { lastIndex_ = last; }
    std::int64_t FileSize() const { return fileSize_; }
    // Lets the system take back the resident pages of the file as read; reading a record
    // brings its page back from the page cache. Passes over the whole file call it as they go.
    void ReleaseFilePages() const;
    static constexpr std::size_t kReleaseEvery = std::size_t{16} << 20; // bytes read between calls
    // 0-based offset of the first byte of the file as read that the disk could not give back
    // (those bytes read as zeros), or -1.
    std::int64_t ReadFault() const;

    // A text is looked up as a record key (std::out_of_range when absent), a number is the
    // array position itself.
    int GetRecordIndex(std::string_view key) const;
    int GetRecordIndex(int index) const { return index; }
    int IndexOf(RecordRef ref) const { return ref.ByKey() ? GetRecordIndex(ref.Key()) : ref.Index(); }
    // The entry itself (std::out_of_range for a bad key or position).
    RecordEntry& Rec(RecordRef ref);
    const RecordEntry& Rec(RecordRef ref) const;
    RecordEntry Record(RecordRef ref) const { return Rec(ref); }
    // The slot keeps its place in the file: a record added since the load stays an addition.
    void ReplaceRecord(int index, const RecordEntry& entry);
    // Puts back a whole record array (undo and redo): every index and the master list are
    // rebuilt from it.
    void RestoreRecords(std::vector<RecordEntry> records);
    // The record's data as a fresh byte array, its unpacked subrecords encoded where edited.
    Bytes CurrentData(const RecordEntry& r) const;

    // ---- Changes since the load, judged against the bytes loaded (a save keeps them, so
    // marks last until the file is closed or loaded again; undoing back to them clears them).
    // A record is changed when its header or data differ from the loaded ones; an edit undone
    // by hand is no change. Cheap for a record never repacked.
    RecordChange ChangeOf(int index) const;
    // Loaded records of that type the array no longer holds.
    int DeletedSinceLoad(std::string_view type) const;
    struct DeletedRecord {
        std::string Type, ID;
    };
    std::vector<DeletedRecord> DeletedSinceLoad() const; // in the order of the file

    // 0 loaded, -1 too small (or not even a header record), -2 missing, -3 the disk could not
    // give the file's bytes back (said to the user; nothing stays loaded).
    int LoadFile(const std::string& fileName, bool loadedValue, bool showWarnings,
                 Progress* progress = nullptr);
    void LoadRecord(RecordRef ref);
    void UnLoadRecordNoSave(RecordRef ref);
    void ClearRecords(Progress* progress = nullptr);
    void CancelProcess() { Cancelled = true; }

    // 0 master, 1 plug-in, 2 saved game, -1 no header information.
    int FileType();
    void SetFileType(int type);

    // ---- Packing.
    void UnPackRecord(RecordRef ref, bool keepPacked = false);
    void PackRecord(RecordRef ref, bool keepSubRecords = false);
    void UnPackSubHeaders(RecordRef ref, std::string_view subrecordKey, int position);
    void PackSubHeaders(RecordRef ref);
    void ClearSubRecords(int index);
    void SetSubrecords(RecordRef ref, std::shared_ptr<Subrecords> subrecords);
    void SetRecordByte(RecordRef ref, std::size_t position, std::uint8_t value);
    void SetRecordBytes(RecordRef ref, Bytes bytes);

    // ---- Properties, through the codec.
    bool UnpackSubRecord(RecordRef ref, std::string_view subrecordKey,
                         PropertyCodec::DecodeReport* report = nullptr);
    void PackSubRecord(RecordRef ref, std::string_view subrecordKey);
    std::string GetID(RecordRef ref);
    std::string AddSubrecord(RecordRef ref, std::string_view subrecordType); // or "@NOTUNIQUE"
    int AddRecord(std::string_view recordType);
    void ClearSubrecordLookup(RecordRef ref, std::string_view subrecordKey);

    // ---- Indexes.
    vellum::esRecArrayIndex& esRecArrayIndex() { return keyIndex_; }
    vellum::esRecArrayCatIndex& esRecArrayCatIndex() { return catIndex_; }
    const vellum::esRecArrayIndex& esRecArrayIndex() const { return keyIndex_; }
    const vellum::esRecArrayCatIndex& esRecArrayCatIndex() const { return catIndex_; }
    vellum::esKeys& esKeys() { return keys_; }
    void IndexRecord(int position);
    void ClearIndices(Progress* progress = nullptr);
    void RebuildIndices(Progress* progress = nullptr);

    // ---- Saving.
    // True when the file was written, every record once and the header counting them; any
    // failure leaves the file that was there untouched. A symbolic link is saved through: the
    // file it names is replaced (keeping its mode, owner and group) and the backup lies beside it.
    bool Save(const std::string& saveFileName = {}, const std::string& fileTitle = {},
              bool makeBackup = false, Progress* progress = nullptr);
    void UpdateFileHeader(bool force = false);
    void UpdateMasterFiles();
    vellum::esMasterFiles& esMasterFiles() { return masters_; }
    const vellum::esMasterFiles& esMasterFiles() const { return masters_; }

    // ---- Seams.
    // The writer Save uses (the POSIX one when unset); the caller keeps it alive.
    void SetFileWriter(FileWriter* writer) { writer_ = writer; }
    // Called at the end of LoadFile; nothing happens when unset.
    void SetReferenceIndexBuilder(ReferenceIndexBuilder* builder) { refBuilder_ = builder; }
    // The undo history of the file set the file belongs to; null for a file on its own.
    UndoHistory* History() const { return history_; }
    void SetHistory(UndoHistory* history) { history_ = history; }

private:
    bool ReadRecord(int index, std::size_t offset);
    void SetLoadedID(int index);
    std::int64_t HeaderRecordCount();
    void ReadMasterFiles();
    int HeaderRecordIndex() const; // -1 when there is no "TES3" record
    // Key of the first subrecord of the unpacked record with that four-character name, or "".
    std::string SubrecordKeyOf(int index, std::string_view name) const;
    // The header record, made when missing, unpacked, with its "HEDR" decoded: the HEDR's key.
    std::string OpenHeader(int& headerIndex, bool& wasPacked);
    std::string_view CategoryOf(const RecordEntry& r) const;
    void AddToCategoryIDs(int position);
    std::vector<int> SaveOrder();
    std::vector<bool> LoadedStillHeld() const; // per entry of loaded_
    std::string_view LoadedType(std::size_t origin) const;
    bool WriteRecords(AtomicOutput& output, const std::vector<int>& order, Progress* progress);

    const PropertyCodec& codec_;
    const std::uint64_t serial_;
    std::vector<RecordEntry> records_;
    // The records as loaded, by Origin - 1: where their header lies in buffer_ and their type.
    struct LoadedRecord {
        std::int64_t offset;
        std::int32_t size, header1, flags;
        char type[4];
    };
    std::vector<LoadedRecord> loaded_;
    int lastIndex_ = -1;
    std::int64_t fileSize_ = 0;
    int subrecordCounter_ = 0;
    int currentParent_ = -1; // the last record read whose type precedes children
    std::shared_ptr<const FileBuffer> buffer_; // the file as read, shared by the records' data
    SharedString sourceName_;             // FileName, shared by the records read
    vellum::esRecArrayIndex keyIndex_;
    vellum::esRecArrayCatIndex catIndex_;
    vellum::esKeys keys_;
    vellum::esMasterFiles masters_;
    FileWriter* writer_ = nullptr;
    ReferenceIndexBuilder* refBuilder_ = nullptr;
    UndoHistory* history_ = nullptr;
};

} // namespace vellum
