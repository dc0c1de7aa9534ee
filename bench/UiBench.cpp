// The editor window on the synthetic 80 MB master: opening it until the tree shows, selecting
// its biggest category, building a record's form. Run headless:
//   QT_QPA_PLATFORM=offscreen build/bin/vellum_ui_bench --big build/big.esm
#include "BenchData.h"

#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/EditorContext.h"
#include "ui/RecordTreeModel.h"
#include "ui/frmLowLevelEdit.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

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
    ui::EditorContext context;
    std::unique_ptr<ui::frmMain> window;
    QString key;
    Editor() {
        context.programDir = ProgramDir();
        context.templ.OpenFile((ProgramDir() / "ESTemplate.ini").string());
        window = std::make_unique<ui::frmMain>(context);
        key = QString::fromStdString(std::filesystem::absolute(BigMaster()).string());
    }
    void Open() {
        window->OpenFiles({key});
        QCoreApplication::processEvents();
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

double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void OpenUntilTreeShows(benchmark::State& state) {
    if (BigMaster().empty()) {
        state.SkipWithError("no --big master");
        return;
    }
    Editor e;
    const double before = ResidentMB();
    for (auto _ : state) {
        e.Open();
        state.PauseTiming();
        state.counters["resident_MB_over_start"] = ResidentMB() - before;
        e.Close();
        state.ResumeTiming();
    }
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
        QCoreApplication::processEvents();
    }
    state.counters["records"] = ed.Model()->rowCount(ed.Model()->CategoryIndex(cat));
}
BENCHMARK(SelectBiggestCategory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BuildRecordForm(benchmark::State& state) {
    if (BigMaster().empty()) {
        state.SkipWithError("no --big master");
        return;
    }
    Editor e;
    e.Open();
    ui::frmLowLevelEdit& ed = e.window->Editor();
    const QModelIndex npcs = ed.Model()->CategoryIndex("NPC_");
    ed.Model()->BuildRecords(npcs);
    const int count = ed.Model()->rowCount(npcs);
    if (count < 2) {
        state.SkipWithError("no NPC_ records");
        return;
    }
    int row = 0;
    for (auto _ : state) {
        ed.Tree()->setCurrentIndex(ed.Model()->index(row, 0, npcs));
        QCoreApplication::processEvents();
        row = (row + 1) % count;
    }
    state.counters["entries"] = static_cast<double>(ed.Entries().Count());
}
BENCHMARK(BuildRecordForm)->Unit(benchmark::kMillisecond)->Iterations(50);

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
