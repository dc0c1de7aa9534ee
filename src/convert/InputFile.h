#pragma once

#include "model/Bytes.h"

#include <filesystem>
#include <memory>

namespace vellum {

class FileBuffer;

// The whole of a file to read, mapped where the system allows it.
class InputFile {
public:
    // False after telling the user why the file cannot be read.
    bool Open(const std::filesystem::path& path);
    ByteSpan Bytes() const;
    std::string_view Text() const;

private:
    std::shared_ptr<const FileBuffer> buffer_;
};

} // namespace vellum
