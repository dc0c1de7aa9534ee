#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// Takes "--big FILE" (the synthetic master) off the command line, hands the rest to the library.
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
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
