// The file model over the synthetic master: LoadFile (without the reference index), unpack and
// decode of every subrecord, and Save (in the file's own order and by type, as loaded and with
// records added), each beside a plain read or write of the same bytes.
#include "BenchData.h"

#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

using namespace vellum;

struct Model {
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::string big, saveTo;
};

Model* Shared(benchmark::State& state) {
    static Model* model = [] {
        auto* m = new Model;
        if (bench::BigMaster().empty() ||
            m->templ.OpenFile((bench::ProgramDir() / "ESTemplate.ini").string()) != 0)
            return static_cast<Model*>(nullptr);
        m->codec = std::make_unique<PropertyCodec>(m->templ);
        m->big = bench::BigMaster().string();
        m->saveTo = m->big + ".saved";
        return m;
    }();
    if (!model) state.SkipWithError("needs --big FILE and ESTemplate.ini beside the benchmark");
    return model;
}

std::int64_t FileSize(const Model& m) { return static_cast<std::int64_t>(std::filesystem::file_size(m.big)); }

constexpr int kAddedRecords = 2000;

// The baseline of LoadFile: open, one read of the whole file, close.
void BM_PlainRead(benchmark::State& state) {
    Model* m = Shared(state);
    if (!m) return;
    Bytes bytes(static_cast<std::size_t>(FileSize(*m)));
    for (auto _ : state) {
        const int fd = ::open(m->big.c_str(), O_RDONLY);
        std::size_t done = 0;
        for (ssize_t n; done < bytes.size() && (n = ::read(fd, bytes.data() + done, bytes.size() - done)) > 0;)
            done += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * FileSize(*m));
}
BENCHMARK(BM_PlainRead)->Name("PlainRead")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_LoadFile(benchmark::State& state) {
    Model* m = Shared(state);
    if (!m) return;
    for (auto _ : state) {
        auto file = std::make_unique<esfile>(*m->codec);
        if (file->LoadFile(m->big, true, false, nullptr) != esfile::kLoaded) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(file->LastIndex());
        state.PauseTiming(); // closing the file is not part of loading it
        file.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileSize(*m));
}
BENCHMARK(BM_LoadFile)->Name("LoadFile")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_DecodeEverySubrecord(benchmark::State& state) {
    Model* m = Shared(state);
    if (!m) return;
    esfile file(*m->codec);
    file.LoadFile(m->big, true, false, nullptr);
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
BENCHMARK(BM_DecodeEverySubrecord)->Name("DecodeEverySubrecord")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The baseline of Save: create, one write of the same bytes, fsync, close.
void BM_PlainWrite(benchmark::State& state) {
    Model* m = Shared(state);
    if (!m) return;
    const Bytes& bytes = bench::BigMasterBytes();
    for (auto _ : state) {
        const int fd = ::open(m->saveTo.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        for (ssize_t n; done < bytes.size() && (n = ::write(fd, bytes.data() + done, bytes.size() - done)) > 0;)
            done += static_cast<std::size_t>(n);
        ::fsync(fd);
        ::close(fd);
    }
    ::unlink(m->saveTo.c_str());
    state.SetBytesProcessed(state.iterations() * FileSize(*m));
}
BENCHMARK(BM_PlainWrite)->Name("PlainWrite")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Saves the master as it is loaded, or with `added` records made after the load (copies of
// records spread over the file, one in seven a response joined to a topic), in the file's own
// order or by type.
void SaveBench(benchmark::State& state, bool sorted, int added) {
    Model* m = Shared(state);
    if (!m) return;
    esfile file(*m->codec);
    file.LoadFile(m->big, true, false, nullptr);
    const int loaded = file.LastIndex();
    int topic = -1;
    for (int n = 0; n < added; ++n) {
        const RecordEntry source = file.Records()[static_cast<std::size_t>(1 + (n * 7919) % loaded)];
        const int i = file.AddRecord(source.Name);
        file.PackRecord(i);
        file.SetRecordBytes(i, source.Data.ToBytes());
        if (source.Name == "DIAL") topic = i;
        if (source.Name == "INFO" && topic >= 0) {
            file.Records()[static_cast<std::size_t>(i)].ParentKey = file.Records()[static_cast<std::size_t>(topic)].Key;
            file.Records()[static_cast<std::size_t>(topic)].Children.push_back(file.Records()[static_cast<std::size_t>(i)].Key);
        }
    }
    file.SortOnSave = sorted;
    for (auto _ : state)
        if (!file.Save(m->saveTo)) state.SkipWithError("save failed");
    ::unlink(m->saveTo.c_str());
    state.SetBytesProcessed(state.iterations() * FileSize(*m));
}

void BM_Save(benchmark::State& state) { SaveBench(state, false, 0); }
BENCHMARK(BM_Save)->Name("Save")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
void BM_SaveSorted(benchmark::State& state) { SaveBench(state, true, 0); }
BENCHMARK(BM_SaveSorted)->Name("SaveSorted")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
void BM_SaveAdded(benchmark::State& state) { SaveBench(state, false, kAddedRecords); }
BENCHMARK(BM_SaveAdded)->Name("SaveAdded")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
void BM_SaveAddedSorted(benchmark::State& state) { SaveBench(state, true, kAddedRecords); }
BENCHMARK(BM_SaveAddedSorted)->Name("SaveAddedSorted")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What changed since the load, asked of every record as the record filter does: as loaded, and
// with every record unpacked and packed again (its bytes compared with the loaded ones), with a
// tenth of the records deleted and every type's deleted count asked for.
void BM_ChangeOfEveryRecord(benchmark::State& state) {
    Model* m = Shared(state);
    if (!m) return;
    esfile file(*m->codec);
    file.LoadFile(m->big, true, false, nullptr);
    if (state.range(0)) {
        for (int i = 0; i <= file.LastIndex(); ++i) {
            file.UnPackRecord(i);
            file.PackRecord(i);
        }
        std::erase_if(file.Records(), [n = 0](const RecordEntry&) mutable { return ++n % 10 == 0; });
    }
    std::int64_t changed = 0;
    for (auto _ : state) {
        changed = 0;
        for (int i = 0; i < static_cast<int>(file.Records().size()); ++i)
            changed += file.ChangeOf(i) != RecordChange::Unchanged;
        for (const auto& c : file.esRecArrayCatIndex()) changed += file.DeletedSinceLoad(c.key);
    }
    state.counters["records"] = static_cast<double>(file.Records().size());
    state.counters["changed+deleted"] = static_cast<double>(changed);
}
BENCHMARK(BM_ChangeOfEveryRecord)->Name("ChangeOfEveryRecord")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
