// The property codec over the synthetic master: decoding every subrecord and reading every
// record's ID, beside a plain pass over the same bytes.
#include "BenchData.h"

#include "model/ByteCast.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace vellum;

struct Record {
    std::string type;
    ByteSpan data;
};

std::vector<Record> Records(const Bytes& file) {
    std::vector<Record> out;
    std::size_t pos = 0;
    while (file.size() - pos >= 16) {
        const std::size_t size = cast::LoadU32(&file[pos + 4]);
        if (size > file.size() - pos - 16) break;
        out.push_back({std::string(reinterpret_cast<const char*>(&file[pos]), 4),
                       ByteSpan(&file[pos + 16], size)});
        pos += 16 + size;
    }
    return out;
}

// Skips the benchmark unless the big master and the shipped template are there.
bool Ready(benchmark::State& state, Config& templ) {
    if (bench::BigMasterBytes().empty()) {
        state.SkipWithError("no synthetic master: pass --big FILE");
        return false;
    }
    if (templ.OpenFile((bench::ProgramDir() / "ESTemplate.ini").string()) != 0) {
        state.SkipWithError("no ESTemplate.ini beside the benchmark");
        return false;
    }
    return true;
}

template <class Visit>
void EachSubrecord(const std::vector<Record>& records, Visit visit) {
    for (const Record& r : records) {
        std::size_t at = 0;
        bool first = true;
        while (r.data.size() - at >= 8) {
            const std::size_t n = cast::LoadU32(r.data.data() + at + 4);
            if (n > r.data.size() - at - 8) break;
            visit(r, std::string_view(reinterpret_cast<const char*>(r.data.data() + at), 4),
                  r.data.subspan(at + 8, n), first);
            at += 8 + n;
            first = false;
        }
    }
}

void BM_WalkSubrecords(benchmark::State& state) {
    Config templ;
    if (!Ready(state, templ)) return;
    const auto records = Records(bench::BigMasterBytes());
    for (auto _ : state) {
        std::size_t sum = 0;
        EachSubrecord(records, [&](const Record&, std::string_view, ByteSpan d, bool) {
            for (std::uint8_t b : d) sum += b;
        });
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::BigMasterBytes().size()));
}
BENCHMARK(BM_WalkSubrecords)->Unit(benchmark::kMillisecond);

void BM_DecodeEverySubrecord(benchmark::State& state) {
    Config templ;
    if (!Ready(state, templ)) return;
    const auto records = Records(bench::BigMasterBytes());
    PropertyCodec codec(templ);
    Properties props;
    std::size_t subrecords = 0;
    for (auto _ : state) {
        subrecords = 0;
        EachSubrecord(records, [&](const Record& r, std::string_view name, ByteSpan d, bool first) {
            codec.Decode(r.type, PropertyCodec::TemplateSubrecordType(r.type, name, d.size(), first), d, props);
            ++subrecords;
        });
    }
    state.counters["subrecords"] = static_cast<double>(subrecords);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench::BigMasterBytes().size()));
}
BENCHMARK(BM_DecodeEverySubrecord)->Unit(benchmark::kMillisecond);

void BM_ReadIDEveryRecord(benchmark::State& state) {
    Config templ;
    if (!Ready(state, templ)) return;
    const auto records = Records(bench::BigMasterBytes());
    PropertyCodec codec(templ);
    for (auto _ : state) {
        std::size_t length = 0;
        for (const Record& r : records) length += codec.ReadID(r.type, r.data).size();
        benchmark::DoNotOptimize(length);
    }
    state.counters["records"] = static_cast<double>(records.size());
}
BENCHMARK(BM_ReadIDEveryRecord)->Unit(benchmark::kMillisecond);

} // namespace
