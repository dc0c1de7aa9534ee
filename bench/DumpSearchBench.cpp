// Whole-file readers over the synthetic master: the text dump in its raw-subrecord and
// decoded modes, and Find All of a three-letter text.
#include "BenchData.h"

#include "model/TextDump.h"
#include "template/Search.h"

#include <filesystem>

namespace {

using namespace vellum;

void Dump(benchmark::State& state) {
    bench::Loaded* l = bench::LoadBigMaster(state);
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
    bench::Loaded* l = bench::LoadBigMaster(state);
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
