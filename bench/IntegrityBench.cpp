// Reference index, descendants scan and deletion over the synthetic master.
#include "BenchData.h"

#include "index/Marks.h"
#include "index/esCallbacks.h"
#include "index/esCheckedEntries.h"
#include "index/RefIndexReader.h"
#include "index/esFiles.h"
#include "model/esfile.h"
#include "template/Config.h"

#include <benchmark/benchmark.h>

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

// Undo of that delete: the whole array put back, every index rebuilt, the reference index
// written again. "step/records" is the step's memory over the bytes of the records it took.
void BM_UndoDeleteTenPercent(benchmark::State& state) {
    Opened* o = Shared(state);
    if (!o) return;
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        o->Reload();
        o->files->History().clear();
        esfile& f = o->File();
        std::size_t changed = 0;
        for (std::size_t i = 1; i < f.Records().size(); i += 10) {
            f.Records()[i].Deleted = true;
            changed += 16 + f.Records()[i].Data.size();
        }
        o->files->DeleteMarked(o->key, nullptr);
        ratio = static_cast<double>(o->files->History().Step(1).MemoryBytes()) / static_cast<double>(changed);
        state.ResumeTiming();
        o->files->History().Undo();
    }
    state.counters["step/records"] = ratio;
}
BENCHMARK(BM_UndoDeleteTenPercent)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
