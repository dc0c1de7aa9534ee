#include "model/esfile.h"

#include "model/ByteCast.h"
#include "model/FastFile.h"
#include "model/FileBuffer.h"
#include "template/Config.h"

#include <stdexcept>

namespace vellum {

namespace {
std::uint64_t NextSerial() {
    static std::uint64_t last = 0;
    return ++last;
}
} // namespace

esfile::esfile(const PropertyCodec& codec) : codec_(codec), serial_(NextSerial()) { records_.resize(1); }

esfile::~esfile() = default;

void esfile::ReleaseFilePages() const {
    if (buffer_) buffer_->ReleasePages();
}

std::int64_t esfile::ReadFault() const { return buffer_ ? buffer_->ReadFault() : -1; }

int esfile::GetRecordIndex(std::string_view key) const { return keyIndex_.Item(key).IndexNumber; }

RecordEntry& esfile::Rec(RecordRef ref) { return records_.at(static_cast<std::size_t>(IndexOf(ref))); }

const RecordEntry& esfile::Rec(RecordRef ref) const {
    return records_.at(static_cast<std::size_t>(IndexOf(ref)));
}

void esfile::ReplaceRecord(int index, const RecordEntry& entry) {
    RecordEntry& r = records_.at(static_cast<std::size_t>(index));
    const bool added = r.Added;
    const std::int32_t origin = r.Origin;
    r = entry;
    r.Added = added;
    r.Origin = origin;
}

void esfile::LoadRecord(RecordRef ref) {
    RecordEntry& r = Rec(ref);
    if (r.Loaded) return;
    FastFile reader;
    reader.OpenFileRead(r.FileName.str());
    // A record made in memory, or a file that shrank since it was read, cannot give the bytes
    // back: they stay zero.
    std::int64_t size = r.Size < 0 ? 0 : r.Size;
    if (reader.IsOpen() && r.Offset >= 1 && r.Offset + 16 + size - 1 <= reader.Size()) {
        reader.SeekPos(r.Offset + 16);
        Bytes data = reader.GetBytes(size);
        data.pop_back();
        r.Data.Assign(std::move(data));
    } else {
        r.Data.Assign(Bytes(static_cast<std::size_t>(size), 0));
    }
    r.Loaded = true;
}

void esfile::UnLoadRecordNoSave(RecordRef ref) {
    RecordEntry& r = Rec(ref);
    r.Packed = true;
    r.Loaded = false;
    r.Data.Reset();
    r.SubRecords.reset();
}

void esfile::ClearRecords(Progress* progress) {
    records_.assign(1, RecordEntry{});
    loaded_.clear();
    lastIndex_ = 0;
    ClearIndices(progress);
    Changed.Touch();
}

int esfile::HeaderRecordIndex() const {
    const esRecArrayCatIndexEntries* cat = catIndex_.Item("TES3");
    if (!cat || cat->esRecArrayCatEntries.empty()) return -1;
    return cat->esRecArrayCatEntries.Item(1).IndexNumber;
}

std::string_view esfile::CategoryOf(const RecordEntry& r) const {
    return r.Name;
}

std::string esfile::SubrecordKeyOf(int index, std::string_view name) const {
    const RecordEntry& r = records_.at(static_cast<std::size_t>(index));
    if (!r.SubRecords) return {};
    for (const auto& e : *r.SubRecords)
        if (KeysEqual(std::string_view(e.value.Name).substr(0, 4), name)) return e.key;
    return {};
}

std::string esfile::OpenHeader(int& h, bool& wasPacked) {
    h = HeaderRecordIndex();
    if (h < 0) h = AddRecord("TES3");
    wasPacked = records_[static_cast<std::size_t>(h)].Packed;
    UnPackRecord(h);
    std::string key = SubrecordKeyOf(h, "HEDR");
    if (key.empty()) key = AddSubrecord(h, "HEDR");
    return UnpackSubRecord(h, key) ? key : std::string{};
}

int esfile::FileType() {
    int h = HeaderRecordIndex();
    if (h < 0) return -1;
    const bool wasPacked = records_[static_cast<std::size_t>(h)].Packed;
    UnPackRecord(h);
    int type = -1;
    const std::string key = SubrecordKeyOf(h, "HEDR");
    if (!key.empty() && UnpackSubRecord(h, key)) {
        const Properties& props = records_[static_cast<std::size_t>(h)].SubRecords->Item(key).Properties;
        if (props.Count() >= 2) {
            const std::int64_t v = props.Item(2).Int() & 35;
            type = v == 0 ? 1 : v == 1 ? 0 : v == 32 ? 2 : -1;
        }
    }
    if (wasPacked && !LeaveRecordsUnpacked) PackRecord(h);
    return type;
}

void esfile::SetFileType(int type) {
    static constexpr int kStored[] = {1, 0, 32};
    if (type < 0 || type > 2) return;
    int h = 0;
    bool wasPacked = false;
    const std::string key = OpenHeader(h, wasPacked);
    if (!key.empty()) {
        Properties& props = records_[static_cast<std::size_t>(h)].SubRecords->Item(key).Properties;
        if (props.Count() >= 2 && props.Item(2).Int() != kStored[type]) {
            props.Item(2).SetValue(std::int64_t{kStored[type]});
            Changed = true;
        }
    }
    if (wasPacked && !LeaveRecordsUnpacked) PackRecord(h);
}

} // namespace vellum
