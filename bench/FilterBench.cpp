// The record filter over every record of the synthetic master, as the record tree applies it to
// count each category: a text found nowhere (every ID and name read), a common word, a regular
// expression holding a text (which picks the records to match), one tied to the start, one
// neither (the slowest: every ID and name through the matcher), and only the ticked tenth.
#include "BenchData.h"

#include "index/esCheckedEntries.h"
#include "model/RecordFilter.h"

namespace {

using namespace vellum;

void BM_FilterEveryRecord(benchmark::State& state) {
    bench::Loaded* l = bench::LoadBigMaster(state);
    if (!l) return;
    static const esCheckedEntries tenth = [&] {
        esCheckedEntries marks;
        const auto& records = l->file->Records();
        for (std::size_t i = 1; i < records.size(); i += 10)
            marks.Add(records[i].Key, "big", records[i].Key);
        return marks;
    }();
    static const char* const kTexts[] = {"qqzzqq", "glass", "/^ex_.*_(door|gate)/", "/^[a-z]+\\d+$/", "/\\d\\d\\d/", ""};
    const bool ticked = state.range(0) == 5;
    RecordFilter filter;
    filter.SetText(kTexts[state.range(0)]);
    if (ticked) filter.SetMarkedOnly(&tenth);
    std::size_t kept = 0;
    for (auto _ : state) {
        kept = 0;
        for (const auto& category : l->file->esRecArrayCatIndex())
            kept += filter.Count(*l->file, category.key);
    }
    state.SetLabel(ticked ? "ticked tenth" : kTexts[state.range(0)]);
    state.counters["records"] = static_cast<double>(l->file->Records().size());
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FilterEveryRecord)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
