#pragma once

#include "model/esfile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// The figures of the statistics window for one open file, as the window shows them.
struct FileStatistics {
    // The records of one type now, and what changed among them since the file was loaded.
    struct TypeCount {
        std::string Type;
        std::size_t Total = 0, Added = 0, Changed = 0, Deleted = 0;
        bool HasChanges() const { return Added + Changed + Deleted > 0; }
        bool operator==(const TypeCount&) const = default;
    };

    std::string Title;
    std::string SizeText;    // "1,234 bytes"
    std::string TypeText;    // " Master file", " Plugin file", " Saved game file" or
                             // " Indeterminate (no header information)"
    std::string RecordsText; // records after the header, "#,##0"
    // In category order; a type whose records were all deleted since the load comes last.
    std::vector<TypeCount> Types;
    TypeCount Totals; // of every type, Type "Total"
    std::vector<esfile::DeletedRecord> Deleted;
    std::vector<std::string> Masters;

    static FileStatistics Of(esfile& file);
    static TypeCount CountOf(const esfile& file, std::string_view type);
    static std::string Grouped(long long n); // "#,##0"
    static const char* FileTypeText(int fileType);
};

} // namespace vellum
