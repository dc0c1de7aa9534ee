#pragma once

#include "index/IndexStringReader.h"
#include "index/RefIndexEntry.h"

#include <filesystem>

namespace vellum {

// Reads a reference index entry by entry. Callers loop while bEndOfRefIndex is false. A
// damaged file is reported once ("Function NextRefIndexEntry: <n> - <description>"), yields
// an empty entry and ends the loop.
class RefIndexReader {
public:
    // False, and nothing opened, when the file does not exist.
    bool OpenRefIndex(const std::filesystem::path& rdx);
    RefIndexEntry NextRefIndexEntry();
    // Faster form for scans: false (and bEndOfRefIndex) when no entry could be read.
    bool NextRefIndexView(RefIndexView& view);
    void CloseRefIndex();

    bool bEndOfRefIndex = true;

private:
    void Fail(int number, const std::string& description);

    IndexStringReader reader_;
};

} // namespace vellum
