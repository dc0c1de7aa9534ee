#include "BenchData.h"
#include "BenchFigures.h"

#include "model/Prompt.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {
// Messages of the core would only slow the loops down.
class QuietPrompt : public vellum::Prompt {
public:
    vellum::Answer Ask(std::string_view, vellum::Buttons b, std::string_view) override {
        return b == vellum::Buttons::OK ? vellum::Answer::OK : vellum::Answer::Yes;
    }
};
} // namespace

// Takes "--big FILE" (the synthetic master) off the command line, hands the rest to the library,
// and ends with the table of the file model's figures.
int main(int argc, char** argv) {
    std::vector<char*> args;
    std::filesystem::path big;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--big") == 0 && i + 1 < argc) big = argv[++i];
        else args.push_back(argv[i]);
    }
    std::error_code ec;
    std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", ec);
    vellum::bench::SetPaths(big, ec ? std::filesystem::path(".") : self.parent_path());
    static QuietPrompt quiet;
    vellum::SetPrompt(&quiet);

    // Memory first, while the process holds nothing else.
    vellum::bench::Figures figures(big.string());
    figures.MeasureLoadMemory();

    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
    vellum::bench::TableReporter reporter(figures);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    figures.Print();
    return 0;
}
