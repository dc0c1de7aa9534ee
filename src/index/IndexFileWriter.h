#pragma once

#include "index/IndexOutput.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vellum {

// Writes an index file as a run of index strings (32-bit little-endian length, then the bytes)
// through one large buffer. Nothing reaches the file's name before Finish succeeds; on failure
// the old index is removed too, since it no longer describes the data file.
class IndexFileWriter {
public:
    explicit IndexFileWriter(std::filesystem::path target);

    void WriteIndexString(std::string_view text);
    void WriteIndexNumber(std::int64_t value); // as decimal text
    // One reference index entry: the six fields joined by a zero byte, the ID upper-cased.
    void WriteRefEntry(std::string_view id, std::int32_t recordIndex, std::int32_t subrecordIndex,
                       std::string_view recordType, std::string_view subrecordType,
                       std::string_view propertyName);

    // Flushes and publishes the file. False when any write failed; `Error()` says why.
    bool Finish();
    const std::string& Error() const { return error_; }

private:
    void Flush();

    std::filesystem::path target_;
    std::unique_ptr<IndexOutput> out_;
    std::string buffer_;
    bool failed_ = false;
    std::string error_;
};

} // namespace vellum
