#include "model/esfile.h"

#include "model/BusyScope.h"
#include "model/ByteCast.h"
#include "model/FastFile.h"
#include "model/FileBuffer.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/ReferenceIndexBuilder.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>
#include <filesystem>

namespace vellum {

namespace {

constexpr std::string_view kMissingText = "Error: The file does not exist";
constexpr std::string_view kMisreported =
    "Warning: The number of records was mis-reported in the file header. This might have been "
    "caused by the file being edited in a hex editor or other low level editor. The problem has "
    "been corrected and will probably have no negative effect. ";
constexpr std::string_view kUnreadable =
    "Warning: Vellum Editor was unable to read this file correctly! Saving this file will "
    "probably produce a corrupt and unusable file.";

// Record types are four letters, digits or underscores; anything else is not a record header.
bool IsRecordName(const std::uint8_t* p) {
    for (int k = 0; k < 4; ++k) {
        std::uint8_t c = p[k];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}


} // namespace

bool esfile::ReadRecord(int index, std::size_t offset) {
    const std::size_t size = static_cast<std::size_t>(fileSize_);
    if (offset > size || size - offset < 16) return false;
    const std::uint8_t* h = buffer_->data() + offset;
    if (!IsRecordName(h)) return false;
    const std::int32_t dataSize = static_cast<std::int32_t>(cast::LoadU32(h + 4));
    if (dataSize < 0 || static_cast<std::size_t>(dataSize) > size - offset - 16) return false;

    RecordEntry& r = records_[static_cast<std::size_t>(index)];
    r.FileName = sourceName_;
    r.Offset = static_cast<std::int64_t>(offset) + 1;
    r.Name.assign(reinterpret_cast<const char*>(h), 4);
    r.Size = dataSize;
    r.Header1 = static_cast<std::int32_t>(cast::LoadU32(h + 8));
    r.Flags = static_cast<std::int32_t>(cast::LoadU32(h + 12));
    r.Key = r.Name + std::to_string(index);
    r.Loaded = true;
    r.Packed = true;
    r.Data = SharedBytes(buffer_, h + 16, static_cast<std::size_t>(dataSize));
    LoadedRecord& origin = loaded_.emplace_back();
    origin.offset = static_cast<std::int64_t>(offset);
    origin.size = dataSize;
    origin.header1 = r.Header1;
    origin.flags = r.Flags;
    std::copy(h, h + 4, origin.type);
    r.Origin = static_cast<std::int32_t>(loaded_.size());

    const RecordLayout& traits = codec_.RecordInfo(r.Name);
    if (traits.PrecedesChildren) {
        currentParent_ = index;
    } else if (traits.FollowsParent && currentParent_ >= 0) {
        RecordEntry& parent = records_[static_cast<std::size_t>(currentParent_)];
        r.ParentKey = parent.Key;
        r.ParentID = parent.ID;
        parent.Children.push_back(r.Key);
    }
    return true;
}

std::int64_t esfile::HeaderRecordCount() {
    UnPackRecord(0);
    std::int64_t count = -1; // unknown: the template does not describe the header
    RecordEntry& r = records_[0];
    if (r.SubRecords && r.SubRecords->Count() > 0) {
        std::string key = r.SubRecords->KeyAt(1);
        if (UnpackSubRecord(0, key)) {
            const Properties& props = r.SubRecords->Item(key).Properties;
            if (props.Count() >= 5) count = props.Item(5).Int();
        }
    }
    PackRecord(0);
    return count;
}

int esfile::LoadFile(const std::string& fileName, bool loadedValue, bool showWarnings,
                     Progress* progress) {
    BusyScope scope(*this, progress);
    ProgAction = "Reading Records";
    ProgPercent = 0;
    if (!fileName.empty()) FileName = fileName;

    std::error_code ec;
    if (!std::filesystem::is_regular_file(FileName, ec)) {
        CurrentPrompt().Message(kMissingText);
        return kMissing;
    }
    IsTemplate = EndsWithNoCase(FileName, ".EST");

    FastFile reader;
    reader.OpenFileRead(FileName);
    fileSize_ = reader.Size();
    if (fileSize_ < kMinimumSize) {
        Loaded = loadedValue;
        return kTooSmall;
    }
    // The whole file at once; the records keep views into it until they change.
    buffer_ = FileBuffer::Open(FileName, reader, static_cast<std::size_t>(fileSize_));
    reader.CloseFile();
    if (!buffer_) {
        Loaded = loadedValue;
        return kTooSmall;
    }
    fileSize_ = static_cast<std::int64_t>(buffer_->size());
    sourceName_ = SharedString(FileName);

    ClearIndices();
    masters_.clear();
    currentParent_ = -1;
    records_.assign(1, RecordEntry{});
    loaded_.clear();
    if (!ReadRecord(0, 0)) {
        if (showWarnings) CurrentPrompt().Message(kUnreadable);
        records_.assign(1, RecordEntry{});
        loaded_.clear();
        buffer_.reset();
        Loaded = loadedValue;
        return kTooSmall;
    }
    IndexRecord(0);
    SetLoadedID(0);
    AddToCategoryIDs(0);
    const std::int64_t announced = HeaderRecordCount();

    // Every record to the end of the file, whatever the header announced: the game does so.
    const std::size_t size = static_cast<std::size_t>(fileSize_);
    std::size_t offset = 16 + static_cast<std::size_t>(records_[0].Size);
    // Room for what the header announces, never more than the file can hold.
    const auto expected = static_cast<std::size_t>(std::clamp<std::int64_t>(announced, 0, fileSize_ / 16) + 1);
    records_.reserve(expected);
    loaded_.reserve(expected);
    keyIndex_.Reserve(expected);
    int index = 1;
    int sinceReport = 0;
    std::size_t released = 0;
    while (offset < size) {
        records_.emplace_back();
        if (!ReadRecord(index, offset)) {
            records_.pop_back();
            break;
        }
        IndexRecord(index);
        SetLoadedID(index);
        AddToCategoryIDs(index);
        const RecordEntry& r = records_.back();
        offset += 16 + static_cast<std::size_t>(r.Size);
        if (offset - released >= kReleaseEvery) {
            ReleaseFilePages();
            released = offset;
        }
        if (progress && ++sinceReport >= 218) {
            ProgPercent = static_cast<float>(static_cast<double>(offset + 1) / fileSize_ * 100);
            progress->Waiting(ProgPercent, "Reading Offset " + std::to_string(index) + " " + r.Name);
            sinceReport = 0;
        }
        ++index;
    }
    lastIndex_ = static_cast<int>(records_.size()) - 1;

    if (showWarnings && announced >= 0 && announced != lastIndex_) {
        CurrentPrompt().Message(kMisreported);
        Changed = true;
        UpdateFileHeader(true);
    }
    if (showWarnings && offset < size) CurrentPrompt().Message(kUnreadable);

    Loaded = true;
    Changed.Touch();
    UpdateMasterFiles();
    if (refBuilder_ && ReadFault() < 0) refBuilder_->BuildReferenceIndex(*this, progress);
    if (const std::int64_t fault = ReadFault(); fault >= 0) {
        // What was read holds zeros in place of the file's bytes: nothing of it may stay.
        CurrentPrompt().Message(FastFile::ReadErrorText(fault + 1));
        ClearRecords();
        masters_.clear();
        buffer_.reset();
        Loaded = loadedValue;
        return kReadError;
    }
    ReleaseFilePages();
    FileExists = true;
    Loaded = loadedValue;
    return kLoaded;
}

void esfile::SetLoadedID(int index) {
    RecordEntry& r = records_[static_cast<std::size_t>(index)];
    std::string id = codec_.ReadID(CategoryOf(r), r.Data);
    if (id != r.ID) {
        r.PreviousID = std::move(r.ID);
        r.ID = std::move(id);
    }
}

} // namespace vellum
