#pragma once

#include <filesystem>

namespace vellum {

class FileWriter;
class Progress;
class PropertyCodec;

// Writes a data file in the text form: one JSON document holding its records in file order,
// each with its type, header fields and subrecords (see SubrecordJson), so that JsonImport gives
// back the same bytes. Reads the file's bytes as they are, whatever its header claims; bytes
// after the last whole record are kept as "trailing".
class JsonExport {
public:
    JsonExport(const PropertyCodec& codec, int codePage) : codec_(codec), codePage_(codePage) {}

    // False after telling the user why (missing file, failed write); `out` is then untouched.
    bool Run(const std::filesystem::path& in, const std::filesystem::path& out, Progress* progress = nullptr,
             FileWriter* writer = nullptr) const;

private:
    const PropertyCodec& codec_;
    int codePage_;
};

} // namespace vellum
