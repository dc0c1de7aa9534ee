#include "model/esfile.h"

#include "model/AtomicOutput.h"
#include "model/BusyScope.h"
#include "model/ByteCast.h"
#include "model/FastFile.h"
#include "model/MapFaults.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/RecordSaveOrder.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>
#include <filesystem>

namespace vellum {

namespace fs = std::filesystem;

namespace {

bool SaveFailed(const std::string& target, const std::string& reason) {
    CurrentPrompt().Message("Error: The file " + target + " could not be saved (" + reason +
                            "). The file on disk was not changed.");
    return false;
}

std::string JoinTypes(const std::vector<std::string>& types) {
    std::string out;
    for (const std::string& t : types) out += (out.empty() ? "" : ", ") + t;
    return out;
}

} // namespace

std::vector<int> esfile::SaveOrder() {
    const Group* sequence = Template().FindGroup("@FILESEQUENCE");
    RecordSaveOrder order(records_, keyIndex_, catIndex_, codec_, sequence);
    if (!SortOnSave) return order.Kept();
    std::vector<int> byType = order.ByType();
    if (!order.Unnamed().empty())
        CurrentPrompt().Message("The format template's [@FILESEQUENCE] does not name the record types " +
                                JoinTypes(order.Unnamed()) +
                                ". Their records were saved after the others, in the order they had.");
    return byType;
}

bool esfile::WriteRecords(AtomicOutput& output, const std::vector<int>& order, Progress* progress) {
    const std::size_t chunk = std::max<std::size_t>(output.ChunkSize(), 16);
    Bytes stage;
    stage.reserve(chunk);
    auto flush = [&] {
        bool ok = stage.empty() || output.Write(stage);
        stage.clear();
        return ok;
    };
    int saved = 0;
    for (int i : order) {
        const RecordEntry& r = records_[static_cast<std::size_t>(i)];
        if (++saved % 101 == 0 && progress) {
            if (progress->Cancelled()) return false;
            const int percent = lastIndex_ > 0 ? std::min(100, saved * 100 / lastIndex_) : 100;
            ProgPercent = static_cast<float>(percent);
            progress->Waiting(percent, "Saving Record " + r.Name + " " + r.ID);
        }
        std::uint8_t header[16] = {};
        for (std::size_t k = 0; k < 4 && k < r.Name.size(); ++k) header[k] = std::uint8_t(r.Name[k]);
        cast::StoreU32(header + 4, static_cast<std::uint32_t>(r.Data.size()));
        cast::StoreU32(header + 8, static_cast<std::uint32_t>(r.Header1));
        cast::StoreU32(header + 12, static_cast<std::uint32_t>(r.Flags));
        stage.insert(stage.end(), header, header + 16);
        if (stage.size() + r.Data.size() > chunk && !flush()) return false;
        if (r.Data.size() >= chunk) {
            if (!output.Write(r.Data.span())) return false;
        } else {
            stage.insert(stage.end(), r.Data.data(), r.Data.data() + r.Data.size());
        }
    }
    return flush();
}

bool esfile::Save(const std::string& saveFileName, const std::string& fileTitle, bool makeBackup,
                  Progress* progress) {
    BusyScope scope(*this, progress);
    if (!saveFileName.empty()) SaveFileName = saveFileName;
    if (!fileTitle.empty()) FileTitle = fileTitle;
    if (SaveFileName.empty()) return SaveFailed(SaveFileName, "no file name");

    // Opened first: a file that cannot be replaced is told before anything is packed.
    AtomicOutput output(SaveFileName, writer_);
    if (!output.Open()) return SaveFailed(SaveFileName, output.Reason());
    // Records read where the disk failed hold zeros: saving them would lose what is on disk.
    auto readFailed = [this](std::int64_t fault) {
        CurrentPrompt().Message(FastFile::ReadErrorText(fault + 1));
        return SaveFailed(SaveFileName, "the file " + FileName + " could not be read back");
    };
    if (const std::int64_t fault = ReadFault(); fault >= 0) return readFailed(fault);
    const std::uint64_t faultsBefore = MapFaults::Instance().Count();

    UpdateFileHeader();
    // Records being edited are packed for the write and go back to their edited state on every
    // way out: left packed after a failed save, later edits to them would never be written.
    std::vector<int> unpacked;
    struct Restore {
        esfile& f;
        std::vector<int>& list;
        ~Restore() {
            for (int i : list) {
                f.records_[static_cast<std::size_t>(i)].Data.Reset();
                f.records_[static_cast<std::size_t>(i)].Packed = false;
            }
        }
    } restore{*this, unpacked};
    for (int i = 0; i < static_cast<int>(records_.size()); ++i) {
        RecordEntry& r = records_[static_cast<std::size_t>(i)];
        if (!r.Packed) {
            PackRecord(i, true);
            unpacked.push_back(i);
        }
        if (!r.Loaded) LoadRecord(i);
    }
    const std::vector<int> order = SaveOrder();

    if (!WriteRecords(output, order, progress)) {
        if (progress && progress->Cancelled()) return false;
        return SaveFailed(SaveFileName, output.Reason());
    }
    if (MapFaults::Instance().Count() != faultsBefore) {
        if (const std::int64_t fault = ReadFault(); fault >= 0) return readFailed(fault);
        return SaveFailed(SaveFileName, "a file its records come from could not be read back");
    }
    if (!output.Commit(makeBackup)) return SaveFailed(SaveFileName, output.Reason());
    ReleaseFilePages();
    return true;
}

void esfile::UpdateFileHeader(bool force) {
    if (Clipboard && !force) return;
    int h = 0;
    bool wasPacked = false;
    const std::string key = OpenHeader(h, wasPacked);
    if (!key.empty()) {
        Properties& props = records_[static_cast<std::size_t>(h)].SubRecords->Item(key).Properties;
        // The records a save writes after the header: every entry that has a type.
        const auto named = std::count_if(records_.begin(), records_.end(), [](const RecordEntry& r) { return !r.Name.empty(); });
        const std::int64_t count = static_cast<std::int64_t>(named) - 1;
        if (Property* p = props.Find("NumRecords"); p && p->Int() != count) p->SetValue(count);
        PackSubRecord(h, key);
    }
    if (wasPacked && !LeaveRecordsUnpacked) PackRecord(h);
}

void esfile::UpdateMasterFiles() {
    masters_.clear();
    const int h = HeaderRecordIndex();
    if (h < 0) return;
    const bool wasPacked = records_[static_cast<std::size_t>(h)].Packed;
    UnPackRecord(h);
    std::string pending;
    bool havePending = false;
    std::vector<std::string> keys;
    for (const auto& e : *records_[static_cast<std::size_t>(h)].SubRecords) keys.push_back(e.key);
    for (const std::string& key : keys) {
        Subrecord& s = records_[static_cast<std::size_t>(h)].SubRecords->Item(key);
        const std::string name = ToUpper(std::string_view(s.Name).substr(0, 4));
        if (name == "MAST") {
            if (!UnpackSubRecord(h, key) || s.Properties.empty()) continue;
            if (havePending) masters_.Add(pending);
            std::string text = s.Properties.Item(1).Text();
            text = text.substr(0, text.find('\0'));
            pending = std::string(TrimRightSpaces(text));
            havePending = true;
        } else if (name == "DATA" && havePending) {
            std::int64_t size = 0;
            if (UnpackSubRecord(h, key) && !s.Properties.empty()) size = s.Properties.Item(1).Int();
            masters_.Add(pending, size);
            havePending = false;
        }
    }
    if (havePending) masters_.Add(pending);
    if (wasPacked && !LeaveRecordsUnpacked) PackRecord(h);
}

} // namespace vellum
