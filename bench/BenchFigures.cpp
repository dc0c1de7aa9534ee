#include "BenchFigures.h"

#include "BenchData.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <filesystem>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace vellum::bench {

namespace {

std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// The most the process has held resident so far (VmHWM).
std::int64_t PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}

double MB(double bytes) { return bytes / (1024.0 * 1024.0); }

} // namespace

void Figures::MeasureLoadMemory() {
    std::error_code ec;
    fileSize_ = static_cast<std::int64_t>(std::filesystem::file_size(file_, ec));
    if (ec) return;
    Config templ;
    templ.OpenFile((ProgramDir() / "ESTemplate.ini").string());
    PropertyCodec codec(templ);
    rssBefore_ = ResidentBytes();
    esfile file(codec);
    file.LoadFile(file_, true, false, nullptr);
    rssAfter_ = ResidentBytes();
    rssPeak_ = PeakResidentBytes();
    records_ = file.LastIndex() + 1;
}

Figures::Time Figures::Seconds(const std::string& name) const {
    auto it = seconds_.find(name);
    return it == seconds_.end() ? Time{} : it->second;
}

void Figures::Print() const {
    if (fileSize_ == 0) return;
    const Time read = Seconds("PlainRead"), load = Seconds("LoadFile");
    const Time decode = Seconds("DecodeEverySubrecord");
    const Time write = Seconds("PlainWrite"), save = Seconds("Save"), sorted = Seconds("SaveSorted");
    const Time added = Seconds("SaveAdded"), addedSorted = Seconds("SaveAddedSorted");
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    double load1 = 0, load5 = 0, load15 = 0;
    std::ifstream("/proc/loadavg") >> load1 >> load5 >> load15;
    std::printf("\nVellum file model on %s (%.1f MB, %d records); load average %.1f\n", file_.c_str(),
                MB(static_cast<double>(fileSize_)), records_, load1);
    std::printf("Times are wall clock (CPU in brackets); ratios are of wall clock.\n");
    std::printf("| Measure | Vellum | Plain baseline | Ratio | Target |\n");
    std::printf("|---|---:|---:|---:|---|\n");
    std::printf("| LoadFile, no reference index | %.3f s (%.3f) | read %.3f s (%.3f) | %.1fx | within 5x |\n",
                load.real, load.cpu, read.real, read.cpu, ratio(load.real, read.real));
    std::printf("| Unpack + decode every subrecord | %.3f s (%.3f) | | | under 2 s |\n", decode.real, decode.cpu);
    std::printf("| Save (temp file, fsync, rename) | %.3f s (%.3f) | write+fsync %.3f s (%.3f) | %.1fx | within 3x |\n",
                save.real, save.cpu, write.real, write.cpu, ratio(save.real, write.real));
    std::printf("| Save, records sorted by type | %.3f s (%.3f) | own order %.3f s (%.3f) | %.2fx | own order within 1.1x |\n",
                sorted.real, sorted.cpu, save.real, save.cpu, ratio(save.real, sorted.real));
    std::printf("| Save with 2,000 records added, by type | %.3f s (%.3f) | own order %.3f s (%.3f) | %.2fx | own order within 1.1x |\n",
                addedSorted.real, addedSorted.cpu, added.real, added.cpu, ratio(added.real, addedSorted.real));
    std::printf("| Resident memory after load | %.1f MB | file %.1f MB | %.2fx | at most 1.5x |\n",
                MB(static_cast<double>(rssAfter_)), MB(static_cast<double>(fileSize_)),
                ratio(static_cast<double>(rssAfter_), static_cast<double>(fileSize_)));
    std::printf("| (of which the loaded file) | %.1f MB | | %.2fx | |\n",
                MB(static_cast<double>(rssAfter_ - rssBefore_)),
                ratio(static_cast<double>(rssAfter_ - rssBefore_), static_cast<double>(fileSize_)));
    std::printf("| Peak while loading | %.1f MB | | %.2fx | |\n",
                MB(static_cast<double>(rssPeak_)), ratio(static_cast<double>(rssPeak_), static_cast<double>(fileSize_)));
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs)
        if (!run.error_occurred && run.iterations > 0)
            figures_.Record(run.run_name.function_name, run.real_accumulated_time / static_cast<double>(run.iterations),
                            run.cpu_accumulated_time / static_cast<double>(run.iterations));
    ConsoleReporter::ReportRuns(runs);
}

} // namespace vellum::bench
