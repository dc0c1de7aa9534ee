#include "model/FileStatistics.h"

#include "model/esfile.h"

namespace vellum {

std::string FileStatistics::Grouped(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

const char* FileStatistics::FileTypeText(int fileType) {
    switch (fileType) {
    case 0: return " Master file";
    case 1: return " Plugin file";
    case 2: return " Saved game file";
    default: return " Indeterminate (no header information)";
    }
}

FileStatistics FileStatistics::Of(esfile& file) {
    FileStatistics s;
    s.Title = file.FileTitle;
    s.SizeText = Grouped(file.FileSize()) + " bytes";
    s.TypeText = FileTypeText(file.FileType());
    s.RecordsText = Grouped(file.LastIndex());
    for (const auto& c : file.esRecArrayCatIndex()) s.Types.emplace_back(c.key, c.value.esRecArrayCatEntries.Count());
    for (const auto& m : file.esMasterFiles()) s.Masters.push_back(m.value.Name);
    return s;
}

} // namespace vellum
