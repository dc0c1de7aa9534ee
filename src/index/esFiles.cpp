#include "index/esFiles.h"

#include "model/Progress.h"
#include "model/KeyedCollection.h"
#include "model/esfile.h"

namespace vellum {

esFiles::esFiles(const vellum::Config& templ, std::filesystem::path indicesDir, AppSettings* settings)
    : templ_(templ), settings_(settings ? settings : &ownSettings_), codec_(templ), indexer_(std::move(indicesDir)) {
    ownSettings_.ReplaceClipboard = true;
    esfile* clip = Add(std::string(kClipboardKey));
    clip->Clipboard = true;
    clip->FileTitle = "Clipboard";
}

esFiles::~esFiles() { Shutdown(); }

esfile* esFiles::Add(const std::string& key, std::unique_ptr<esfile> existing) {
    if (files_.Exists(key)) return nullptr;
    if (!existing) {
        existing = std::make_unique<esfile>(codec_);
        existing->FileName = key;
        existing->SaveFileName = key;
    }
    existing->LeaveRecordsUnpacked = settings_->LeaveRecordsUnpacked;
    existing->SetReferenceIndexBuilder(&indexer_);
    existing->SetHistory(&history_);
    return files_.Add(key, std::move(existing))->get();
}

esfile& esFiles::Item(std::string_view key) { return *files_.Item(key); }
esfile& esFiles::Item(std::size_t position) { return *files_.Item(position); }

esfile* esFiles::Find(std::string_view key) {
    auto* f = files_.Find(key);
    return f ? f->get() : nullptr;
}

esfile& esFiles::ClipboardFile() {
    for (auto& e : files_)
        if (e.value->Clipboard) return *e.value;
    // Only a collection that was shut down has none; give it a fresh one.
    esfile* clip = Add(std::string(kClipboardKey));
    clip->Clipboard = true;
    clip->FileTitle = "Clipboard";
    return *clip;
}

std::string esFiles::ClipboardKey() {
    const esfile& clip = ClipboardFile();
    for (const auto& e : files_)
        if (e.value.get() == &clip) return e.key;
    return std::string(kClipboardKey);
}

std::vector<std::string> esFiles::Dependents(const std::string& fileKey) {
    std::vector<std::string> out;
    const esfile* master = Find(fileKey);
    if (!master) return out;
    const std::string_view name = IndexTitle(*master);
    for (auto& e : files_) {
        esfile& f = *e.value;
        if (&f == master || f.Clipboard || f.IsSupport) continue;
        for (const auto& m : f.esMasterFiles())
            if (KeysEqual(m.value.Name, name)) {
                out.push_back(e.key);
                break;
            }
    }
    return out;
}

esCheckedEntries& esFiles::CheckedEntries(std::string_view fileKey) {
    if (esCheckedEntries* c = checked_.Find(fileKey)) return *c;
    return *checked_.Add(std::string(fileKey));
}

void esFiles::Remove(std::string_view key) {
    auto* slot = files_.Find(key);
    if (!slot) return;
    esfile& f = **slot;
    const std::string title = f.FileTitle.empty() ? std::string(key) : f.FileTitle;
    history_.Forget(key);
    ProgAction = title + ": Checked Nodes";
    checked_.Remove(key);
    ProgAction = title + ": Master Files";
    f.esMasterFiles().clear();
    ProgAction = title + ": Record Type Index";
    f.esRecArrayCatIndex().clear();
    ProgAction = title + ": Array Index";
    f.esRecArrayIndex().clear();
    auto& records = f.Records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i % 1000 == 0) ProgAction = title + ": Unloading Subrecords for Record " + std::to_string(i);
        f.ClearSubRecords(static_cast<int>(i));
    }
    files_.Remove(key);
    ProgAction.clear();
}

void esFiles::clear(bool clearClipboard) {
    for (std::size_t i = files_.Count(); i >= 1; --i) {
        if (!clearClipboard && files_.Item(i)->Clipboard) continue;
        std::string key = files_.KeyAt(i);
        Remove(key);
    }
}

void esFiles::Shutdown() {
    ProgAction = "Clearing Text Lookups";
    lookups_.clear();
    ProgAction = "Clearing Relative List";
    relatives_.clear();
    ProgAction = "Clearing Checked Nodes";
    cleanChecked_.clear();
    ProgAction = "Clearing Configuration File";
    ProgAction = "Clearing File Collection";
    clear(false);
    files_.clear();
    checked_.clear();
    ProgAction.clear();
}

void esFiles::SetLeaveRecordsUnpacked(bool value) {
    settings_->LeaveRecordsUnpacked = value;
    for (auto& e : files_) e.value->LeaveRecordsUnpacked = value;
}

void esFiles::BuildTextLookupList() { vellum::BuildTextLookupList(lookups_, templ_); }

void esFiles::CancelProcess(esCancelCallback* window) {
    cancel_ = true;
    cancelWindow_ = window;
    if (!Busy) ServeCancel();
}

void esFiles::ServeCancel() {
    if (!cancel_) return;
    cancel_ = false;
    esCancelCallback* w = cancelWindow_;
    cancelWindow_ = nullptr;
    if (w) w->CallbackCancel();
}

esFiles::BusyScope::BusyScope(esFiles& files) : files_(files) {
    files_.cancel_ = false;
    files_.cancelWindow_ = nullptr;
    files_.Busy = true;
    files_.BuildTextLookupList();
}

esFiles::BusyScope::~BusyScope() {
    files_.lookups_.clear();
    files_.ProgAction.clear();
    files_.Busy = false;
    files_.ServeCancel();
}

bool esFiles::Stop(Progress* progress) const {
    return cancel_ || (progress && progress->Cancelled());
}

} // namespace vellum
