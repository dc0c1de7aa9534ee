#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

namespace vellum::bench {

// The figures the README keeps: each measured time beside its plain baseline, and the memory
// a loaded file takes. Printed as a small table after the run.
class Figures {
public:
    explicit Figures(std::string file) : file_(std::move(file)) {}
    // Resident memory before and after one LoadFile, in a process that has loaded nothing yet.
    void MeasureLoadMemory();
    void Record(const std::string& name, double realSeconds, double cpuSeconds) {
        seconds_[name] = {realSeconds, cpuSeconds};
    }
    void Print() const;

private:
    struct Time {
        double real = 0, cpu = 0;
    };
    Time Seconds(const std::string& name) const;
    std::string file_;
    std::int64_t fileSize_ = 0;
    std::int64_t rssBefore_ = 0, rssAfter_ = 0, rssPeak_ = 0;
    int records_ = 0;
    std::map<std::string, Time> seconds_;
};

// The console output of Google Benchmark, with each run's mean real time kept for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    explicit TableReporter(Figures& figures) : figures_(figures) {}
    void ReportRuns(const std::vector<Run>& runs) override;

private:
    Figures& figures_;
};

} // namespace vellum::bench
