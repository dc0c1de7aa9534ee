#include "model/esfile.h"

#include "model/Progress.h"

namespace vellum {

namespace {

// What the template says about a new category: its ID sources, description and HexID.
void DescribeCategory(esRecArrayCatIndexEntries& cat, const RecordLayout& layout) {
    for (const RecordLayout::Source& source : layout.Sources)
        cat.esIDs.Add(source.SubID, source.PropID, source.MultiPropID);
    if (layout.HasDesc) {
        cat.SubDesc = layout.Desc.SubID;
        cat.PropDesc = layout.Desc.PropID;
    }
    cat.HexID = layout.HexID;
}

} // namespace

void esfile::IndexRecord(int position) {
    RecordEntry& r = records_.at(static_cast<std::size_t>(position));
    const std::string_view category = std::string_view(r.Key).substr(0, 4);
    esRecArrayCatIndexEntries* cat = catIndex_.Item(category);
    if (!cat) {
        std::string type(category);
        cat = catIndex_.Add(type);
        DescribeCategory(*cat, codec_.RecordInfo(type));
    }
    cat->esRecArrayCatEntries.Add(position, r.Key);
    keyIndex_.Add(r.Key, position);
}

void esfile::AddToCategoryIDs(int position) {
    const RecordEntry& r = records_[static_cast<std::size_t>(position)];
    if (esRecArrayCatIndexEntries* cat = catIndex_.Item(CategoryOf(r)))
        cat->esRecIDIndex.Add(r.ID, position, r.Description);
}

void esfile::ClearIndices(Progress* progress) {
    keyIndex_.clear(progress);
    catIndex_.clear(progress);
}

void esfile::RestoreRecords(std::vector<RecordEntry> records) {
    records_ = std::move(records);
    lastIndex_ = static_cast<int>(records_.size()) - 1;
    keys_.clear();
    ClearIndices();
    for (int p = 0; p <= lastIndex_; ++p) {
        IndexRecord(p);
        AddToCategoryIDs(p);
    }
    UpdateMasterFiles();
    Changed.Touch();
}

void esfile::RebuildIndices(Progress* progress) {
    if (progress) progress->Waiting(-1, "Clearing Indices...");
    std::vector<const esKey*> stale;
    for (const auto& e : keys_) stale.push_back(&e.value);
    for (auto it = stale.rbegin(); it != stale.rend(); ++it) {
        const esKey& k = **it;
        const std::string_view category = std::string_view(k.Key).substr(0, 4);
        if (esRecArrayCatIndexEntries* cat = catIndex_.Item(category)) {
            cat->esRecIDIndex.Remove(k.ID);
            cat->esRecArrayCatEntries.Remove(k.Key);
        }
        keyIndex_.Remove(k.Key);
    }
    if (progress) progress->Waiting(-1, "Rebuilding Indices...");
    const int last = static_cast<int>(records_.size()) - 1;
    for (int p = 0; p <= last; ++p) {
        RecordEntry& r = records_[static_cast<std::size_t>(p)];
        const std::string_view category = std::string_view(r.Key).substr(0, 4);
        esRecArrayCatIndexEntries* cat = catIndex_.Item(category);
        if (!cat) cat = catIndex_.Add(std::string(category));
        if (esRecIDEntry* id = cat->esRecIDIndex.Find(r.ID))
            id->IndexNumber = p;
        else
            cat->esRecIDIndex.Add(r.ID, p, {}, r.Name);
        if (esRecArrayEntries* e = cat->esRecArrayCatEntries.Find(r.Key))
            e->IndexNumber = p;
        else
            cat->esRecArrayCatEntries.Add(p, r.Key);
        if (esRecArrayEntries* e = keyIndex_.Find(r.Key))
            e->IndexNumber = p;
        else
            keyIndex_.Add(r.Key, p);
        if (progress) progress->Waiting(-1, "Rebuilding Index Value " + std::to_string(p));
    }
}

} // namespace vellum
