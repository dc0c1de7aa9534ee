// Benchmarks of the file model on a large master, each beside a plain read or write of the
// same bytes. Run through `./build.sh bench`, which generates the master and passes --big.
#include "BenchData.h"
#include "BenchFigures.h"

#include "model/ByteCast.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace vellum;

// Messages of the core would only slow the loops down.
class QuietPrompt : public Prompt {
public:
    Answer Ask(std::string_view, Buttons b, std::string_view) override {
        return b == Buttons::OK ? Answer::OK : Answer::Yes;
    }
};

struct Setup {
    std::string big;
    std::string saveTo;
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::int64_t fileSize = 0;
};
Setup setup;

Bytes PlainRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    Bytes bytes(static_cast<std::size_t>(setup.fileSize));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

void PlainWrite(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
}

void BM_PlainRead(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlainRead(setup.big));
    state.SetBytesProcessed(state.iterations() * setup.fileSize);
}

void BM_LoadFile(benchmark::State& state) {
    for (auto _ : state) {
        esfile file(*setup.codec);
        if (file.LoadFile(setup.big, true, false, nullptr) != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(file.LastIndex());
    }
    state.SetBytesProcessed(state.iterations() * setup.fileSize);
}

void BM_DecodeEverySubrecord(benchmark::State& state) {
    esfile file(*setup.codec);
    file.LoadFile(setup.big, true, false, nullptr);
    std::int64_t subrecords = 0;
    for (auto _ : state) {
        subrecords = 0;
        for (int i = 0; i <= file.LastIndex(); ++i) {
            file.UnPackRecord(i, true);
            for (const auto& e : *file.Records()[static_cast<std::size_t>(i)].SubRecords) {
                file.UnpackSubRecord(i, e.key);
                ++subrecords;
            }
            file.ClearSubRecords(i);
        }
    }
    state.counters["subrecords"] = static_cast<double>(subrecords);
}

void BM_PlainWrite(benchmark::State& state) {
    const Bytes bytes = PlainRead(setup.big);
    for (auto _ : state) PlainWrite(setup.saveTo, bytes);
    state.SetBytesProcessed(state.iterations() * setup.fileSize);
}

void BM_Save(benchmark::State& state) {
    esfile file(*setup.codec);
    file.LoadFile(setup.big, true, false, nullptr);
    for (auto _ : state)
        if (!file.Save(setup.saveTo)) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * setup.fileSize);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--big") == 0 && i + 1 < argc) {
            setup.big = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    if (setup.big.empty() || !fs::exists(setup.big)) {
        std::fprintf(stderr, "usage: vellum_bench --big FILE [benchmark options]\n"
                             "(./build.sh bench generates FILE with ../shared/bench/make_big_master.py)\n");
        return 2;
    }
    static QuietPrompt quiet;
    SetPrompt(&quiet);
    setup.fileSize = static_cast<std::int64_t>(fs::file_size(setup.big));
    setup.saveTo = setup.big + ".saved";
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    setup.templ.OpenFile((exe.parent_path() / "ESTemplate.ini").string());
    setup.codec = std::make_unique<PropertyCodec>(setup.templ);
    // The codec, integrity, dump and search benchmarks find the master and the data through this.
    vellum::bench::SetPaths(setup.big, exe.parent_path());

    bench::Figures figures(setup.big, setup.fileSize);
    figures.MeasureLoadMemory(*setup.codec);

    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RegisterBenchmark("PlainRead", BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
    benchmark::RegisterBenchmark("LoadFile", BM_LoadFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
    benchmark::RegisterBenchmark("DecodeEverySubrecord", BM_DecodeEverySubrecord)
        ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
    benchmark::RegisterBenchmark("PlainWrite", BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
    benchmark::RegisterBenchmark("Save", BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
    bench::TableReporter reporter(figures);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove(setup.saveTo, ec);
    fs::remove(setup.saveTo + ".vellum-tmp", ec);
    figures.Print();
    return 0;
}
