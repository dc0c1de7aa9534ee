#include "model/SupportFiles.h"

#include "index/HistoryScope.h"
#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "model/esfile.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

std::vector<SupportFiles::Row> SupportFiles::ListDataFiles(const DataPaths& folders) {
    std::vector<fs::path> masters, plugins;
    for (fs::path& file : folders.Files()) {
        const std::string name = file.filename().string();
        if (EndsWithNoCase(name, ".esm")) masters.push_back(std::move(file));
        else if (EndsWithNoCase(name, ".esp")) plugins.push_back(std::move(file));
    }
    std::vector<Row> rows;
    for (const auto* list : {&masters, &plugins})
        for (const fs::path& file : *list) {
            Row r;
            r.Name = file.filename().string();
            r.Path = file.string();
            r.Number = static_cast<int>(rows.size());
            rows.push_back(std::move(r));
        }
    return rows;
}

std::vector<SupportFiles::Row> SupportFiles::ListDataFiles(const fs::path& folder) {
    return ListDataFiles(DataPaths({folder}));
}

SupportFiles::SupportFiles(std::vector<esfile*> plugins) : plugins_(std::move(plugins)) {
    for (esfile* f : plugins_) {
        auto& list = lists_.emplace_back();
        for (const auto& m : f->esMasterFiles()) list.push_back(m.value);
    }
}

std::string SupportFiles::Caption(std::size_t i) const { return "Support Files for " + plugins_.at(i)->FileTitle; }

void SupportFiles::Refresh(std::vector<Row>& rows, std::size_t i,
                           const std::function<bool(const std::string&)>& isOpen) const {
    const auto& list = lists_.at(i);
    for (Row& r : rows) {
        r.Dependency = std::any_of(list.begin(), list.end(), [&](const esMasterFile& m) { return KeysEqual(m.Name, r.Name); });
        r.LoadState = isOpen && isOpen(r.Path) ? "Loaded" : "Click to Load";
    }
}

bool SupportFiles::Changed(std::size_t i) const {
    const auto& list = lists_.at(i);
    const auto& now = plugins_.at(i)->esMasterFiles();
    if (list.size() != now.Count()) return true;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const esMasterFile& m = now.Item(k + 1);
        if (list[k].Name != m.Name || list[k].Size != m.Size) return true;
    }
    return false;
}

bool SupportFiles::Changed() const {
    for (std::size_t i = 0; i < lists_.size(); ++i)
        if (Changed(i)) return true;
    return false;
}

void SupportFiles::Toggle(std::size_t i, const std::string& name, std::int64_t size) {
    auto& list = lists_.at(i);
    auto it = std::find_if(list.begin(), list.end(), [&](const esMasterFile& m) { return KeysEqual(m.Name, name); });
    if (it == list.end())
        list.push_back({name, size});
    else
        list.erase(it);
}

SupportFiles::MasterFiles SupportFiles::MastersToLoad(const DataPaths& folders,
                                                      const std::function<bool(const std::string&)>& isOpen) const {
    MasterFiles out;
    KeyedCollection<bool> seen;
    for (const auto& list : lists_)
        for (const esMasterFile& m : list) {
            if (!seen.Add(m.Name, true)) continue;
            const std::optional<fs::path> found = folders.Find(m.Name);
            if (!found) {
                out.missing.push_back(m.Name);
                continue;
            }
            if (std::string path = found->string(); !(isOpen && isOpen(path))) out.paths.push_back(std::move(path));
        }
    return out;
}

void SupportFiles::Apply() {
    std::vector<std::string> keys;
    for (const esfile* f : plugins_) keys.push_back(f->FileName);
    HistoryScope step(plugins_.empty() ? nullptr : plugins_.front()->History(), "Change Master List", keys);
    for (std::size_t i = 0; i < plugins_.size(); ++i) {
        if (!Changed(i)) continue;
        Write(*plugins_[i], lists_[i]);
        plugins_[i]->Changed = true;
    }
}

void SupportFiles::Write(esfile& file, const std::vector<esMasterFile>& masters) {
    const auto* cat = file.esRecArrayCatIndex().Item("TES3");
    const int h = cat && !cat->esRecArrayCatEntries.empty() ? cat->esRecArrayCatEntries.Item(1).IndexNumber
                                                            : file.AddRecord("TES3");
    const bool wasPacked = file.Records().at(static_cast<std::size_t>(h)).Packed;
    file.UnPackRecord(h);
    const std::shared_ptr<Subrecords> old = file.Records()[static_cast<std::size_t>(h)].SubRecords;

    // The new pairs are made at the end of the record, then moved to where the old ones stood.
    std::vector<std::string> kept, added;
    std::size_t at = std::string::npos, hedr = std::string::npos;
    for (const auto& e : *old) {
        const std::string name = ToUpper(std::string_view(e.value.Name).substr(0, 4));
        if (name == "MAST" || name == "DATA") {
            if (at == std::string::npos) at = kept.size();
        } else {
            if (name == "HEDR" && hedr == std::string::npos) hedr = kept.size() + 1;
            kept.push_back(e.key);
        }
    }
    if (at == std::string::npos) at = hedr != std::string::npos ? hedr : std::min<std::size_t>(1, kept.size());
    auto subs = std::make_shared<Subrecords>();
    subs->GroupList = old->GroupList;
    for (const std::string& key : kept) subs->KeyedCollection::Add(key, old->Item(key));
    file.SetSubrecords(h, subs);

    auto add = [&](const char* type, PropertyValue value) {
        std::string key = file.AddSubrecord(h, type);
        added.push_back(key);
        if (!file.UnpackSubRecord(h, key)) return;
        Subrecord* s = subs->Find(key);
        if (s && !s->Properties.empty()) s->Properties.Item(1).SetValue(std::move(value));
    };
    for (const esMasterFile& m : masters) {
        add("MAST", m.Name);
        add("DATA", std::int64_t{m.Size});
    }
    auto ordered = std::make_shared<Subrecords>();
    ordered->GroupList = subs->GroupList;
    auto move = [&](const std::string& key) { ordered->KeyedCollection::Add(key, subs->Item(key)); };
    for (std::size_t k = 0; k < at && k < kept.size(); ++k) move(kept[k]);
    for (const std::string& key : added) move(key);
    for (std::size_t k = at; k < kept.size(); ++k) move(kept[k]);
    file.SetSubrecords(h, ordered);

    if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(h);
    file.UpdateMasterFiles();
}

} // namespace vellum
