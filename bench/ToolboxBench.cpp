// The modder's toolbox on the synthetic master beside a plug-in of 5,000 of its records: the
// conflict list, cleaning, and the text form of the master both ways.
#include "BenchData.h"

#include "convert/JsonExport.h"
#include "convert/JsonImport.h"
#include "model/ByteCast.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "tools/Cleaner.h"
#include "tools/Conflicts.h"
#include "tools/DirtySettings.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>

namespace {

using namespace vellum;

constexpr int kPluginRecords = 5000;

// Messages of the runs (none are expected) go nowhere.
class Silent : public Prompt {
public:
    Answer Ask(std::string_view, Buttons, std::string_view) override { return Answer::OK; }
};

struct Toolbox {
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::unique_ptr<esfile> master, plugin;
    std::filesystem::path dir;
    DirtySettings dirty;
    Silent silent;

    bool Open() {
        SetPrompt(&silent);
        if (bench::BigMaster().empty() || templ.OpenFile((bench::ProgramDir() / "ESTemplate.ini").string()) != 0)
            return false;
        codec = std::make_unique<PropertyCodec>(templ);
        dir = std::filesystem::temp_directory_path() / ("vellum-toolbox-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        master = std::make_unique<esfile>(*codec);
        if (master->LoadFile(bench::BigMaster().string(), true, false, nullptr) != esfile::kLoaded) return false;
        dirty.Load(bench::ProgramDir() / DirtySettings::kFileName);
        WritePlugin();
        return LoadPlugin();
    }

    // Every n-th record of the master, a third of them with one byte changed, behind a header
    // naming the master.
    void WritePlugin() {
        const Bytes& big = bench::BigMasterBytes();
        const std::size_t headerSize = 16 + cast::LoadU32(big.data() + 4);
        Bytes out(big.begin(), big.begin() + static_cast<std::ptrdiff_t>(headerSize));
        const int step = std::max(1, master->LastIndex() / kPluginRecords);
        int taken = 0;
        for (int i = 1; i <= master->LastIndex() && taken < kPluginRecords; i += step, ++taken) {
            const RecordEntry& r = master->Records()[static_cast<std::size_t>(i)];
            const std::uint8_t* whole = big.data() + r.Offset - 1;
            out.insert(out.end(), whole, whole + 16 + r.Size);
            if (taken % 3 == 0 && r.Size > 0) out.back() ^= 1;
        }
        std::ofstream(dir / "plugin.esp", std::ios::binary)
            .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    }
    bool LoadPlugin() {
        plugin = std::make_unique<esfile>(*codec);
        return plugin->LoadFile((dir / "plugin.esp").string(), true, false, nullptr) == esfile::kLoaded;
    }
    ~Toolbox() {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
};

Toolbox* Shared(benchmark::State& state) {
    static Toolbox* box = [] {
        auto* b = new Toolbox;
        if (!b->Open()) {
            delete b;
            return static_cast<Toolbox*>(nullptr);
        }
        return b;
    }();
    if (!box) state.SkipWithError("no synthetic master (--big FILE) or no ESTemplate.ini");
    return box;
}

void BM_ConflictList(benchmark::State& state) {
    Toolbox* b = Shared(state);
    if (!b) return;
    std::size_t found = 0;
    for (auto _ : state) found = Conflicts::Find({b->master.get(), b->plugin.get()}).size();
    state.counters["records"] = static_cast<double>(found);
}
BENCHMARK(BM_ConflictList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CleanPlugin(benchmark::State& state) {
    Toolbox* b = Shared(state);
    if (!b) return;
    int removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b->LoadPlugin();
        state.ResumeTiming();
        removed = Cleaner::Apply(*b->plugin, Cleaner::Find(*b->plugin, {b->master.get()}, b->dirty));
    }
    state.counters["removed"] = removed;
}
BENCHMARK(BM_CleanPlugin)->Unit(benchmark::kMillisecond)->Iterations(3);

// Both ways include writing the whole file to the disk, as the commands do.
void BM_ExportMasterJson(benchmark::State& state) {
    Toolbox* b = Shared(state);
    if (!b) return;
    for (auto _ : state) JsonExport(*b->codec, 1252).Run(bench::BigMaster(), b->dir / "big.json");
    std::error_code ec;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(b->dir / "big.json", ec)) / 1e6;
}
BENCHMARK(BM_ExportMasterJson)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ImportMasterJson(benchmark::State& state) {
    Toolbox* b = Shared(state);
    if (!b) return;
    std::error_code ec;
    if (!std::filesystem::exists(b->dir / "big.json", ec))
        JsonExport(*b->codec, 1252).Run(bench::BigMaster(), b->dir / "big.json");
    for (auto _ : state) JsonImport(*b->codec, 1252).Run(b->dir / "big.json", b->dir / "big.esm");
}
BENCHMARK(BM_ImportMasterJson)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
