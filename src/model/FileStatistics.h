#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vellum {

class esfile;

// The figures of the statistics window for one open file, as the window shows them.
struct FileStatistics {
    std::string Title;
    std::string SizeText;    // "1,234 bytes"
    std::string TypeText;    // " Master file", " Plugin file", " Saved game file" or
                             // " Indeterminate (no header information)"
    std::string RecordsText; // records after the header, "#,##0"
    std::vector<std::pair<std::string, std::size_t>> Types; // record type and count, in category order
    std::vector<std::string> Masters;

    static FileStatistics Of(esfile& file);
    static std::string Grouped(long long n); // "#,##0"
    static const char* FileTypeText(int fileType);
};

} // namespace vellum
