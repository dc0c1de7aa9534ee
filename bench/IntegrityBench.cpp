// Reference index, descendants scan and deletion over the synthetic master.
#include "BenchData.h"

#include "index/Marks.h"
#include "index/esCallbacks.h"
#include "index/esCheckedEntries.h"
#include "index/RefIndexReader.h"
#include "index/TextMentions.h"
#include "index/esFiles.h"
#include "model/esfile.h"
#include "template/Config.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>
#include <unordered_map>

namespace {

using namespace vellum;

// The big master opened in an esFiles whose index files go to a folder of their own.
struct Opened {
    Config templ;
    std::filesystem::path indices;
    std::unique_ptr<esFiles> files;
    std::string key;

    bool Open() {
        if (bench::BigMaster().empty()) return false;
        if (templ.OpenFile((bench::ProgramDir() / "ESTemplate.ini").string()) != 0) return false;
        indices = std::filesystem::temp_directory_path() / ("vellum-bench-" + std::to_string(::getpid()));
        files = std::make_unique<esFiles>(templ, indices);
        return Reload();
    }
    bool Reload() {
        key = bench::BigMaster().string();
        if (files->Exists(key)) files->Remove(key);
        esfile* f = files->Add(key);
        f->FileTitle = "big.esm";
        return f->LoadFile(key, true, false, nullptr) == esfile::kLoaded;
    }
    esfile& File() { return files->Item(key); }
    ~Opened() {
        std::error_code ec;
        if (!indices.empty()) std::filesystem::remove_all(indices, ec);
    }
};

Opened* Shared(benchmark::State& state) {
    static Opened* opened = [] {
        auto* o = new Opened;
        if (!o->Open()) {
            delete o;
            return static_cast<Opened*>(nullptr);
        }
        return o;
    }();
    if (!opened) state.SkipWithError("no synthetic master (--big FILE) or no ESTemplate.ini");
    return opened;
}

void BM_BuildReferenceIndex(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    for (auto _ : state) o->files->Indexer().WriteReferenceIndex(o->File(), nullptr);
}
BENCHMARK(BM_BuildReferenceIndex)->Unit(benchmark::kMillisecond);

// The record most references name, found in the reference index.
int MostReferenced(Opened& o) {
    std::unordered_map<std::string, int> counts;
    RefIndexReader r;
    RefIndexView v;
    r.OpenRefIndex(o.files->Indexer().RefIndexPath(o.File()));
    while (!r.bEndOfRefIndex && r.NextRefIndexView(v)) ++counts[std::string(v.ID)];
    std::vector<std::pair<int, std::string>> ranked;
    for (auto& [id, n] : counts) ranked.emplace_back(n, id);
    std::sort(ranked.rbegin(), ranked.rend());
    for (auto& [n, id] : ranked)
        for (const auto& c : o.File().esRecArrayCatIndex())
            if (const esRecIDEntry* e = c.value.esRecIDIndex.Find(id); e && c.key != "CELL") return e->IndexNumber;
    return -1;
}

void BM_DescendantsOfAWidelyReferencedID(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    const int at = MostReferenced(*o);
    if (at < 0) return state.SkipWithError("no referenced record");
    const std::string recordKey = o->File().Records()[static_cast<std::size_t>(at)].Key;
    for (auto _ : state)
        o->files->RecurseRelatives(o->key, recordKey, {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
    state.counters["relatives"] = static_cast<double>(o->files->esRelatives().Count());
    state.SetLabel(o->File().Records()[static_cast<std::size_t>(at)].ID);
}
BENCHMARK(BM_DescendantsOfAWidelyReferencedID)->Unit(benchmark::kMillisecond);

// The reference scan after an ID change: every record read for the old ID, and each reference
// to the widely referenced record rewritten.
void BM_ChangeIDReferences(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    struct Lines : esCallbackStringValue {
        int count = 0;
        void CallBack(std::string_view, std::string_view) override { ++count; }
    } lines;
    for (auto _ : state) {
        state.PauseTiming();
        o->Reload();
        const int at = MostReferenced(*o);
        const RecordEntry& r = o->File().Records()[static_cast<std::size_t>(at)];
        esCheckedEntries ids;
        esCheckedEntry& change = ids.Add(r.Key, o->key, r.Key);
        change.OldID = r.ID;
        change.NewID = r.ID + "_renamed";
        lines.count = 0;
        state.ResumeTiming();
        o->files->ChangeIDReferences(o->key, ids, false, &lines);
    }
    state.counters["rewritten"] = lines.count;
}
BENCHMARK(BM_ChangeIDReferences)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every tenth record marked, then DeleteMarked (re-indexing and the reference index included).
void BM_DeleteMarkedTenPercent(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    for (auto _ : state) {
        state.PauseTiming();
        o->Reload();
        esfile& f = o->File();
        for (std::size_t i = 1; i < f.Records().size(); i += 10) f.Records()[i].Deleted = true;
        state.ResumeTiming();
        o->files->DeleteMarked(o->key, nullptr);
    }
}
BENCHMARK(BM_DeleteMarkedTenPercent)->Unit(benchmark::kMillisecond)->Iterations(3);

// A small plug-in that names `id` among the big master's records: a container holding it, a
// levelled list and a result script naming it, as a plug-in open beside the master would.
std::filesystem::path WriteDependent(const Opened& o, const std::string& id) {
    auto sub = [](const char* name, const std::string& data) {
        std::string out(name, 4);
        const auto size = static_cast<std::uint32_t>(data.size());
        out.append(reinterpret_cast<const char*>(&size), 4);
        return out + data;
    };
    auto record = [](const char* name, const std::string& data) {
        std::string out(name, 4);
        const auto size = static_cast<std::uint32_t>(data.size());
        out.append(reinterpret_cast<const char*>(&size), 4);
        return out + std::string(8, '\0') + data;
    };
    auto z = [](const std::string& text) { return text + std::string(1, '\0'); };
    const std::uint32_t one = 1;
    const std::string count(reinterpret_cast<const char*>(&one), 4);
    std::string hedr(300, '\0');
    hedr[0] = '\x66', hedr[1] = '\x66', hedr[2] = '\xa6', hedr[3] = '\x3f'; // 1.3
    hedr[4] = 1;                                                         // a plug-in
    hedr[296] = 3;                                                       // three records
    std::string item = id;
    item.resize(32, '\0');
    const std::string header = sub("HEDR", hedr) + sub("MAST", z("big.esm")) + sub("DATA", std::string(8, '\0'));
    const std::string file = record("TES3", header) +
                             record("CONT", sub("NAME", z("bench_chest")) + sub("NPCO", count + item)) +
                             record("LEVI", sub("NAME", z("bench_list")) + sub("INDX", count) + sub("INAM", z(id)) +
                                                sub("INTV", std::string("\1\0", 2))) +
                             record("DIAL", sub("NAME", z("bench_topic")));
    const std::filesystem::path path =
        o.indices.parent_path() / ("vellum-bench-dependent-" + std::to_string(::getpid()) + ".esp");
    std::ofstream(path, std::ios::binary) << file;
    return path;
}

// A safe delete of one record of the big master with a plug-in that depends on it open beside
// it: the scan of both files (references and text), the delete in both and their new indexes.
void BM_SafeDeleteWithADependentFile(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    const int at = MostReferenced(*o);
    if (at < 0) return state.SkipWithError("no referenced record");
    const std::string id = o->File().Records()[static_cast<std::size_t>(at)].ID;
    const std::filesystem::path dependent = WriteDependent(*o, id);
    std::size_t relatives = 0;
    for (auto _ : state) {
        state.PauseTiming();
        o->Reload();
        if (o->files->Exists(dependent.string())) o->files->Remove(dependent.string());
        esfile* d = o->files->Add(dependent.string());
        d->FileTitle = dependent.filename().string();
        d->LoadFile(dependent.string(), true, false, nullptr);
        const std::string recordKey = o->File().Records()[static_cast<std::size_t>(at)].Key;
        state.ResumeTiming();
        o->files->RecurseRelatives(o->key, recordKey, {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
        relatives = o->files->esRelatives().Count();
        o->files->ProcessRelatives({}, nullptr);
    }
    state.counters["relatives"] = static_cast<double>(relatives);
    state.SetLabel(id);
    o->files->Remove(dependent.string());
    std::error_code ec;
    std::filesystem::remove(dependent, ec);
}
BENCHMARK(BM_SafeDeleteWithADependentFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The text search alone that a delete or rename of one ID adds: every script and condition of
// the big master read for it.
void BM_TextMentionsOfOneID(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    const int at = MostReferenced(*o);
    if (at < 0) return state.SkipWithError("no referenced record");
    const RecordEntry& r = o->File().Records()[static_cast<std::size_t>(at)];
    TextMentions mentions(o->File().Codec());
    mentions.Want(r.ID, r.Name);
    std::size_t found = 0;
    for (auto _ : state) found = mentions.Find(o->File()).size();
    state.counters["places"] = static_cast<double>(found);
}
BENCHMARK(BM_TextMentionsOfOneID)->Unit(benchmark::kMillisecond);

// Undo of that delete: the whole array put back, every index rebuilt, the reference index
// written again. "step/records" is the step's memory over the bytes of the records it changed:
// those deleted and the neighbours whose links the delete mended, as they were before it.
void BM_UndoDeleteTenPercent(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        o->Reload();
        o->files->History().clear();
        esfile& f = o->File();
        for (std::size_t i = 1; i < f.Records().size(); i += 10)
            f.Records()[i].Deleted = true;
        o->files->DeleteMarked(o->key, nullptr);
        const UndoStep& step = o->files->History().Step(1);
        std::size_t changed = 0;
        for (const auto& c : step.Files)
            for (const RecordEntry& r : c.Undo.Kept()) changed += 16 + r.Data.size();
        ratio = static_cast<double>(step.MemoryBytes()) / static_cast<double>(changed);
        state.ResumeTiming();
        o->files->History().Undo();
    }
    state.counters["step/records"] = ratio;
}
BENCHMARK(BM_UndoDeleteTenPercent)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
