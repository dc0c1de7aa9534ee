// The editor window on the synthetic 80 MB master: opening it until the tree is painted, selecting
// its biggest category, filtering the tree, building a record's form, the resident memory of the
// whole editor with the file open, and a topic of 2,000 of its responses. Each step ends with the
// window painted, as a person would see it. Run headless:
//   QT_QPA_PLATFORM=offscreen build/bin/vellum_ui_bench --big build/big.esm
#include "BenchData.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/RecordTreeModel.h"
#include "ui/TopicModel.h"
#include "ui/TopicView.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace vellum::bench {
namespace {

class Quiet : public Prompt {
public:
    Answer Ask(std::string_view, Buttons, std::string_view) override { return Answer::No; }
};

bool HaveBigMaster(benchmark::State& state) {
    if (!BigMaster().empty())
        return true;
    state.SkipWithError("no --big master");
    return false;
}

struct Editor {
    ui::EditorContext context{Startup::Options{ProgramDir()}};
    std::unique_ptr<ui::frmMain> window;
    QString key;
    Editor() {
        window = std::make_unique<ui::frmMain>(context);
        window->resize(1280, 800);
        window->show();
        Paint();
        key = QString::fromStdString(std::filesystem::absolute(BigMaster()).string());
    }
    // Runs what is queued, then paints the whole window as the screen would show it.
    void Paint() {
        QCoreApplication::processEvents();
        const QPixmap shot = window->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
    void Open() {
        window->OpenFiles({key});
        Paint();
    }
    void Close() { window->CloseFile(key, false); }
    // The category with the most records.
    std::string BiggestCategory() {
        esfile* f = context.files.Find(key.toStdString());
        std::string best;
        std::size_t most = 0;
        for (const auto& c : f->esRecArrayCatIndex())
            if (c.value.esRecArrayCatEntries.Count() > most) {
                most = c.value.esRecArrayCatEntries.Count();
                best = c.key;
            }
        return best;
    }
};

double FileMB() {
    std::error_code ec;
    return static_cast<double>(std::filesystem::file_size(BigMaster(), ec)) / (1024.0 * 1024.0);
}

double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The most the process has held resident so far (VmHWM).
double PeakMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void OpenUntilTreeShows(benchmark::State& state) {
    if (!HaveBigMaster(state))
        return;
    Editor e;
    const double before = ResidentMB();
    double peak = 0;
    for (auto _ : state) {
        e.Open();
        state.PauseTiming();
        peak = std::max(peak, ResidentMB());
        e.Close();
        e.Paint();
        state.ResumeTiming();
    }
    // The whole editor process with the file open, and the part the open file added.
    state.counters["process_MB"] = peak;
    state.counters["process_x_file"] = peak / FileMB();
    state.counters["file_x_file"] = (peak - before) / FileMB();
    // While a file loads, every page of it is read once before it is given back.
    state.counters["peak_x_file"] = PeakMB() / FileMB();
}
BENCHMARK(OpenUntilTreeShows)->Unit(benchmark::kMillisecond)->Iterations(3);

void SelectBiggestCategory(benchmark::State& state) {
    if (!HaveBigMaster(state))
        return;
    Editor e;
    e.Open();
    const std::string cat = e.BiggestCategory();
    ui::frmLowLevelEdit& ed = e.window->Editor();
    for (auto _ : state) {
        state.PauseTiming();
        ed.Showfile(e.key); // fresh tree, category not built
        state.ResumeTiming();
        ed.Tree()->setCurrentIndex(ed.Model()->CategoryIndex(cat));
        e.Paint();
    }
    state.counters["records"] = ed.Model()->rowCount(ed.Model()->CategoryIndex(cat));
}
BENCHMARK(SelectBiggestCategory)->Unit(benchmark::kMillisecond)->Iterations(5);

// Filtering the whole tree with its biggest category open, until painted: a text typed (0), a
// regular expression (1), and clearing the filter again (2).
void FilterTree(benchmark::State& state) {
    if (!HaveBigMaster(state))
        return;
    Editor e;
    e.Open();
    ui::frmLowLevelEdit& ed = e.window->Editor();
    const QModelIndex biggest = ed.Model()->CategoryIndex(e.BiggestCategory());
    ed.Tree()->setCurrentIndex(biggest);
    ed.Tree()->expand(biggest);
    const QString text = state.range(0) == 1 ? "/^ex_.*_(door|gate)/" : "glass";
    const bool clearing = state.range(0) == 2;
    auto apply = [&](const QString& t) {
        ed.FilterField()->setText(t);
        ed.ApplyFilter();
        e.Paint();
    };
    for (auto _ : state) {
        state.PauseTiming();
        apply(clearing ? text : QString());
        state.ResumeTiming();
        apply(clearing ? QString() : text);
    }
    state.SetLabel(clearing ? "cleared" : text.toStdString());
    state.counters["records"] = static_cast<double>(ed.Model()->TotalRecords());
    state.counters["shown"] = static_cast<double>(ed.Model()->ShownRecords());
}
BENCHMARK(FilterTree)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(10);

// Selecting a record until its form is painted: the NPCs in turn (0), or the master's largest
// record, whose first page of entries is built afresh after the category was selected (1).
void BuildRecordForm(benchmark::State& state) {
    if (!HaveBigMaster(state))
        return;
    Editor e;
    e.Open();
    ui::frmLowLevelEdit& ed = e.window->Editor();
    const esfile* f = e.context.files.Find(e.key.toStdString());
    const bool largest = state.range(0) == 1;
    const RecordEntry& biggest = *std::max_element(
        f->Records().begin(), f->Records().end(), [](const RecordEntry& a, const RecordEntry& b) { return a.Size < b.Size; });
    const QModelIndex category = ed.Model()->CategoryIndex(largest ? biggest.Name : "NPC_");
    ed.Model()->BuildRecords(category);
    const int count = ed.Model()->rowCount(category);
    if (count < 2) {
        state.SkipWithError("too few records");
        return;
    }
    int row = 0;
    for (auto _ : state) {
        if (largest) {
            state.PauseTiming();
            ed.Tree()->setCurrentIndex(category);
            e.Paint();
            state.ResumeTiming();
        }
        ed.Tree()->setCurrentIndex(largest ? ed.Model()->RecordIndex(biggest.Key) : ed.Model()->index(row, 0, category));
        e.Paint();
        row = (row + 1) % count;
    }
    if (largest)
        state.SetLabel(biggest.Name + " of " + std::to_string(biggest.Size) + " bytes");
    state.counters["entries"] = static_cast<double>(ed.Entries().Count());
}
BENCHMARK(BuildRecordForm)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(30);

// A plug-in of one topic with 2,000 responses linked in a chain, their other subrecords (speaker,
// filters, conditions, text) those of the big master's topic responses; written once.
std::filesystem::path BigTopicPlugin() {
    static const std::filesystem::path path = [] {
        constexpr std::size_t kResponses = 2000;
        auto sub = [](Bytes& out, const char* name, ByteSpan data) {
            out.insert(out.end(), name, name + 4);
            const auto size = static_cast<std::uint32_t>(data.size());
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
            out.insert(out.end(), data.begin(), data.end());
        };
        auto record = [](Bytes& file, const char* type, const Bytes& data) {
            file.insert(file.end(), type, type + 4);
            const auto size = static_cast<std::uint32_t>(data.size());
            for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
            file.insert(file.end(), 8, 0);
            file.insert(file.end(), data.begin(), data.end());
        };
        auto text = [](const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); };
        auto id = [](std::size_t i) { return i < kResponses ? "bench" + std::to_string(i) : std::string(); };
        Bytes file;
        Bytes header(300, 0);
        header[0] = 0x66, header[1] = 0x66, header[2] = 0xA6, header[3] = 0x3F; // version 1.3
        header[296] = static_cast<std::uint8_t>((kResponses + 1) & 0xFF);
        header[297] = static_cast<std::uint8_t>((kResponses + 1) >> 8);
        Bytes h;
        sub(h, "HEDR", header);
        record(file, "TES3", h);
        Bytes topic;
        sub(topic, "NAME", text("bench topic"));
        sub(topic, "DATA", Bytes{0});
        record(file, "DIAL", topic);
        // The bodies of the master's topic responses, in turn.
        const Bytes& big = BigMasterBytes();
        std::vector<ByteSpan> bodies;
        for (std::size_t at = 0; big.size() - at >= 16 && bodies.size() < kResponses;) {
            const std::size_t size = big[at + 4] | big[at + 5] << 8 | big[at + 6] << 16 | std::size_t(big[at + 7]) << 24;
            if (std::memcmp(&big[at], "INFO", 4) == 0) bodies.push_back(ByteSpan(big).subspan(at + 16, size));
            at += 16 + size;
        }
        for (std::size_t i = 0; i < kResponses && !bodies.empty(); ++i) {
            Bytes info;
            sub(info, "INAM", text(id(i)));
            sub(info, "PNAM", text(i == 0 ? std::string() : id(i - 1)));
            sub(info, "NNAM", text(id(i + 1)));
            const ByteSpan body = bodies[i % bodies.size()];
            for (std::size_t at = 0; body.size() - at >= 8;) {
                const std::size_t size = body[at + 4] | body[at + 5] << 8 | body[at + 6] << 16 | std::size_t(body[at + 7]) << 24;
                if (size > body.size() - at - 8) break;
                const std::string_view name(reinterpret_cast<const char*>(&body[at]), 4);
                if (name != "INAM" && name != "PNAM" && name != "NNAM")
                    info.insert(info.end(), body.begin() + at, body.begin() + at + 8 + size);
                at += 8 + size;
            }
            record(file, "INFO", info);
        }
        const auto out = std::filesystem::temp_directory_path() / "vellum_bench_topic.esp";
        std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                    static_cast<std::streamsize>(file.size()));
        return out;
    }();
    return path;
}

// From another record to a topic of 2,000 responses, until its responses are listed and painted.
void ShowTopicOf2000Responses(benchmark::State& state) {
    if (!HaveBigMaster(state))
        return;
    Editor e;
    const std::string key = BigTopicPlugin().string();
    e.window->OpenFiles({QString::fromStdString(key)});
    e.Paint();
    ui::frmLowLevelEdit& ed = e.window->Editor();
    esfile* file = e.context.files.Find(key);
    const auto* topics = file ? file->esRecArrayCatIndex().Item("DIAL") : nullptr;
    if (!topics || topics->esRecArrayCatEntries.Count() != 1) {
        state.SkipWithError("the topic plug-in did not load");
        return;
    }
    const std::string topic = topics->esRecArrayCatEntries.begin()->key;
    for (auto _ : state) {
        state.PauseTiming();
        ed.GotoRecord("TES3", file->Records()[0].Key, key, {}, false);
        e.Paint();
        state.ResumeTiming();
        ed.GotoRecord("DIAL", topic, key, {}, false);
        e.Paint();
    }
    state.counters["responses"] = ed.Topic()->Model()->rowCount();
}
BENCHMARK(ShowTopicOf2000Responses)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace vellum::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char*> args;
    std::filesystem::path big;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--big") == 0 && i + 1 < argc)
            big = argv[++i];
        else
            args.push_back(argv[i]);
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    vellum::bench::Quiet quiet;
    vellum::ScopedPrompt prompt(quiet);
    vellum::bench::SetPaths(big, QCoreApplication::applicationDirPath().toStdString());
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
