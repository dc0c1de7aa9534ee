// The editor window on the synthetic 80 MB master: opening it until the tree is painted, selecting
// its biggest category, building a record's form, and the resident memory of the whole editor
// with the file open. Each step ends with the window painted, as a person would see it. Run headless:
//   QT_QPA_PLATFORM=offscreen build/bin/vellum_ui_bench --big build/big.esm
#include "BenchData.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
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
    if (BigMaster().empty()) {
        state.SkipWithError("no --big master");
        return;
    }
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
    if (BigMaster().empty()) {
        state.SkipWithError("no --big master");
        return;
    }
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

// Selecting a record until its form is painted: the NPCs in turn (0), or the master's largest
// record, whose first page of entries is built afresh after the category was selected (1).
void BuildRecordForm(benchmark::State& state) {
    if (BigMaster().empty()) {
        state.SkipWithError("no --big master");
        return;
    }
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
