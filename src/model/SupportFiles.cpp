#include "model/SupportFiles.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "model/esfile.h"

#include <algorithm>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

std::vector<SupportFiles::Row> SupportFiles::ListDataFiles(const fs::path& folder) {
    std::vector<std::string> masters, plugins;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ".esm")) masters.push_back(name);
        else if (EndsWithNoCase(name, ".esp")) plugins.push_back(name);
    }
    auto byName = [](const std::string& a, const std::string& b) { return FoldKey(a) < FoldKey(b); };
    std::sort(masters.begin(), masters.end(), byName);
    std::sort(plugins.begin(), plugins.end(), byName);
    std::vector<Row> rows;
    for (auto* list : {&masters, &plugins})
        for (const std::string& name : *list) {
            Row r;
            r.Name = name;
            r.Path = (folder / name).string();
            r.Number = static_cast<int>(rows.size());
            rows.push_back(std::move(r));
        }
    return rows;
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

void SupportFiles::Toggle(std::size_t i, const std::string& name, std::int64_t size) {
    auto& list = lists_.at(i);
    auto it = std::find_if(list.begin(), list.end(), [&](const esMasterFile& m) { return KeysEqual(m.Name, name); });
    if (it == list.end())
        list.push_back({name, size});
    else
        list.erase(it);
    plugins_[i]->Changed = true;
    changed_ = true;
}

std::vector<std::string> SupportFiles::MastersToLoad(const fs::path& dataFolder,
                                                     const std::function<bool(const std::string&)>& isOpen) const {
    std::vector<std::string> out;
    KeyedCollection<bool> seen;
    for (const auto& list : lists_)
        for (const esMasterFile& m : list) {
            std::string path = (dataFolder / m.Name).string();
            if ((isOpen && isOpen(path)) || !seen.Add(path, true)) continue;
            out.push_back(std::move(path));
        }
    return out;
}

void SupportFiles::Apply() {
    for (std::size_t i = 0; i < plugins_.size(); ++i) Write(*plugins_[i], lists_[i]);
}

void SupportFiles::Write(esfile& file, const std::vector<esMasterFile>& masters) {
    const auto* cat = file.esRecArrayCatIndex().Item("TES3");
    const int h = cat && !cat->esRecArrayCatEntries.empty() ? cat->esRecArrayCatEntries.Item(1).IndexNumber
                                                            : file.AddRecord("TES3");
    RecordEntry& header = file.Records().at(static_cast<std::size_t>(h));
    const bool wasPacked = header.Packed;
    file.UnPackRecord(h);
    Subrecords& subs = *file.Records()[static_cast<std::size_t>(h)].SubRecords;
    std::vector<std::string> old;
    for (const auto& e : subs) {
        std::string name = ToUpper(std::string_view(e.value.Name).substr(0, 4));
        if (name == "MAST" || name == "DATA") old.push_back(e.key);
    }
    for (const std::string& key : old) subs.Remove(key);

    auto add = [&](const char* type, PropertyValue value) {
        std::string key = file.AddSubrecord(h, type);
        if (!file.UnpackSubRecord(h, key)) return;
        Subrecord* s = file.Records()[static_cast<std::size_t>(h)].SubRecords->Find(key);
        if (s && !s->Properties.empty()) s->Properties.Item(1).SetValue(std::move(value));
    };
    for (const esMasterFile& m : masters) {
        add("MAST", m.Name);
        add("DATA", std::int64_t{m.Size});
    }
    if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(h);
    file.UpdateMasterFiles();
}

} // namespace vellum
