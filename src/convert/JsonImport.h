#pragma once

#include "model/Bytes.h"

#include <filesystem>
#include <string_view>

namespace vellum {

class FileWriter;
class Progress;
class PropertyCodec;

// Turns the text form (JsonExport) back into a data file, records in the document's order.
// The header's record count is kept as written while the document holds as many records as
// when it was exported, so a file round-trips byte for byte even with a wrong count; once
// records were added or removed it is brought up to date.
class JsonImport {
public:
    // `codePage` serves a document that names no encoding.
    JsonImport(const PropertyCodec& codec, int codePage) : codec_(codec), codePage_(codePage) {}

    // False after telling the user what is wrong, with its line in the JSON; `out` is then
    // untouched.
    bool Run(const std::filesystem::path& in, const std::filesystem::path& out, Progress* progress = nullptr,
             FileWriter* writer = nullptr) const;

    // The data file of the JSON `text`; throws JsonError or ConvertError.
    Bytes Convert(std::string_view text, Progress* progress = nullptr) const;

private:
    const PropertyCodec& codec_;
    int codePage_;
};

} // namespace vellum
