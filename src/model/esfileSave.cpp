#include "model/esfile.h"

#include "model/BusyScope.h"
#include "model/ByteCast.h"
#include "model/FileWriter.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>
#include <filesystem>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNoSequence =
    "Error: The format template has no [@FILESEQUENCE] group, so the file cannot be saved. "
    "Nothing was written.";


bool SaveFailed(const std::string& target, const std::string& reason) {
    CurrentPrompt().Message("Error: The file " + target + " could not be saved (" + reason +
                            "). The file on disk was not changed.");
    return false;
}

} // namespace

std::vector<int> esfile::SaveOrder(const Group& sequence) {
    const std::size_t n = records_.size();
    std::vector<int> order;
    order.reserve(n);
    std::vector<char> emitted(n, 0);
    auto emit = [&](int i) {
        if (i < 0 || static_cast<std::size_t>(i) >= n || emitted[static_cast<std::size_t>(i)]) return;
        emitted[static_cast<std::size_t>(i)] = 1;
        order.push_back(i);
    };
    // Children go behind their parents; a child whose parent is gone is written where its own
    // type comes in the sequence, so that no record is lost.
    std::vector<std::pair<std::size_t, const esRecArrayCatIndexEntries*>> orphanSlots;
    auto saveCategory = [&](std::string_view type) {
        const esRecArrayCatIndexEntries* cat = catIndex_.Item(type);
        if (!cat) return;
        const RecordLayout& traits = codec_.RecordInfo(type);
        if (traits.FollowsParent) {
            orphanSlots.emplace_back(order.size(), cat);
            return;
        }
        for (const auto& e : cat->esRecArrayCatEntries) {
            const int i = e.value.IndexNumber;
            emit(i);
            if (!traits.PrecedesChildren || static_cast<std::size_t>(i) >= n) continue;
            for (const std::string& child : records_[static_cast<std::size_t>(i)].Children)
                if (const esRecArrayEntries* c = keyIndex_.Find(child)) emit(c->IndexNumber);
        }
    };
    for (const auto& entry : sequence.Variables) {
        if (KeysEqual(entry.value.Name, "NOSEQUENCE")) {
            std::vector<std::string> rest;
            for (const auto& c : catIndex_)
                if (!sequence.Variables.Exists(c.key)) rest.push_back(c.key);
            for (const std::string& type : rest) saveCategory(type);
        } else {
            saveCategory(entry.value.Name);
        }
    }
    for (auto slot = orphanSlots.rbegin(); slot != orphanSlots.rend(); ++slot) {
        std::vector<int> orphans;
        for (const auto& e : slot->second->esRecArrayCatEntries) {
            const int i = e.value.IndexNumber;
            if (i >= 0 && static_cast<std::size_t>(i) < n && !emitted[static_cast<std::size_t>(i)]) {
                emitted[static_cast<std::size_t>(i)] = 1;
                orphans.push_back(i);
            }
        }
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(slot->first), orphans.begin(), orphans.end());
    }
    return order;
}

bool esfile::WriteRecords(FileWriter& writer, const std::vector<int>& order, Progress* progress) {
    const std::size_t chunk = std::max<std::size_t>(writer.ChunkSize(), 16);
    Bytes stage;
    stage.reserve(chunk);
    auto flush = [&] {
        bool ok = stage.empty() || writer.Write(stage);
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
            if (!writer.Write(r.Data.span())) return false;
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

    const Group* sequence = Template().FindGroup("@FILESEQUENCE");
    if (!sequence) {
        CurrentPrompt().Message(kNoSequence);
        return false;
    }
    if (SaveFileName.empty()) return SaveFailed(SaveFileName, "no file name");

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
    const std::vector<int> order = SaveOrder(*sequence);

    PosixFileWriter posix;
    FileWriter& writer = writer_ ? *writer_ : posix;
    const fs::path target = SaveFileName;
    fs::path temp = target, backup = target, backupTemp = target;
    temp += ".vellum-tmp";
    backup += ".bak";
    backupTemp += ".bak.vellum-tmp";
    bool backupStarted = false;
    auto discard = [&] {
        writer.Close();
        writer.Remove(temp);
        if (backupStarted) writer.Remove(backupTemp);
    };
    auto abandon = [&](const std::string& reason) {
        const std::string why = reason.empty() ? std::string("unknown error") : reason;
        discard();
        return SaveFailed(SaveFileName, why);
    };
    if (!writer.Create(temp)) return abandon(writer.Error());
    if (!WriteRecords(writer, order, progress)) {
        if (progress && progress->Cancelled()) {
            discard();
            return false;
        }
        return abandon(writer.Error());
    }
    if (!writer.Flush() || !writer.Close()) return abandon(writer.Error());

    // The backup is made aside and renamed into place, so a failed copy never leaves a
    // partial .bak nor removes the one there was.
    std::error_code ec;
    if (makeBackup && fs::exists(target, ec)) {
        backupStarted = true;
        if (!writer.Copy(target, backupTemp) || !writer.Rename(backupTemp, backup))
            return abandon(writer.Error());
    }
    if (!writer.Rename(temp, target)) return abandon(writer.Error());
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
        const std::int64_t count = static_cast<std::int64_t>(records_.size()) - 1;
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
