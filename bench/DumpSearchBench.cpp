// Whole-file readers over the synthetic master: the text dump in its raw-subrecord and
// decoded modes, and Find All of a three-letter text.
#include "BenchData.h"

#include "model/TextDump.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "template/Search.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace vellum;

// The big master loaded once, with the shipped template.
struct Loaded {
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::unique_ptr<esfile> file;
};

Loaded* Load(benchmark::State& state) {
    static std::unique_ptr<Loaded> loaded;
    if (loaded) return loaded.get();
    if (bench::BigMaster().empty()) {
        state.SkipWithError("no synthetic master: pass --big FILE");
        return nullptr;
    }
    auto l = std::make_unique<Loaded>();
    if (l->templ.OpenFile((bench::ProgramDir() / "ESTemplate.ini").string()) != 0) {
        state.SkipWithError("no ESTemplate.ini beside the benchmark");
        return nullptr;
    }
    l->codec = std::make_unique<PropertyCodec>(l->templ);
    l->file = std::make_unique<esfile>(*l->codec);
    if (l->file->LoadFile(bench::BigMaster().string(), true, false) != esfile::kLoaded) {
        state.SkipWithError("the synthetic master does not load");
        return nullptr;
    }
    loaded = std::move(l);
    return loaded.get();
}

void Dump(benchmark::State& state) {
    Loaded* l = Load(state);
    if (!l) return;
    DumpOptions o;
    o.Mode = static_cast<int>(state.range(0));
    o.TabDelimited = state.range(1) != 0;
    o.Headers = true;
    auto folder = std::filesystem::temp_directory_path() / "vellum-bench-dumps";
    std::string written;
    for (auto _ : state) written = DumpAsText(*l->file, o, folder);
    std::error_code ec;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(written, ec)) / 1e6;
    std::filesystem::remove_all(folder, ec);
}
// Targets: mode 2 under 1.43 s (esmtool -C -p dump), mode 1 under 0.58 s (esmtool dump).
BENCHMARK(Dump)->Args({1, 0})->Args({2, 0})->Args({2, 1})->Unit(benchmark::kMillisecond)->Iterations(3);

void FindAllThreeLetters(benchmark::State& state) {
    Loaded* l = Load(state);
    if (!l) return;
    std::size_t hits = 0;
    for (auto _ : state) {
        Search search({l->file.get()}, SearchCriteria::FromInput("dwe", "", "", false, false, false));
        hits = search.FindAll().size();
    }
    state.counters["hits"] = static_cast<double>(hits);
}
// Target: under 1 s.
BENCHMARK(FindAllThreeLetters)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
