#include "model/esfile.h"

#include "model/Progress.h"
#include "model/Text.h"
#include "template/Config.h"

namespace vellum {

namespace {

// What the template says about a new category: its ID sources, description and HexID.
void DescribeCategory(esRecArrayCatIndexEntries& cat, const std::string& type, const Config& templ) {
    const Group* g = templ.FindGroup(type);
    if (!g) return;
    if (const Variable* propID = g->Variables.Find("PropID")) {
        for (const std::string& pair : Split(propID->Value, ',')) {
            std::vector<std::string> parts = Split(pair, ':');
            if (parts.size() != 2) continue;
            std::string sub(TrimSpaces(parts[0])), prop(TrimSpaces(parts[1]));
            const Group* sg = templ.FindGroup(type + "." + sub);
            cat.esIDs.Add(sub, prop, sg && sg->Variables.Count() > 1);
        }
    }
    if (const Variable* desc = g->Variables.Find("PropDesc")) {
        cat.SubDesc = std::string(TrimSpaces(desc->Value1()));
        cat.PropDesc = std::string(TrimSpaces(desc->Value2()));
    }
    cat.HexID = g->Instructions.Exists("HexID");
}

} // namespace

void esfile::IndexRecord(int position) {
    RecordEntry& r = records_.at(static_cast<std::size_t>(position));
    const std::string_view category = std::string_view(r.Key).substr(0, 4);
    esRecArrayCatIndexEntries* cat = catIndex_.Item(category);
    if (!cat) {
        std::string type(category);
        cat = catIndex_.Add(type);
        DescribeCategory(*cat, type, Template());
    }
    cat->esRecArrayCatEntries.Add(position, r.Key);
    r.CatKey = std::string(category);
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
