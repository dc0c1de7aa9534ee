#include "convert/InputFile.h"

#include "model/FastFile.h"
#include "model/FileBuffer.h"
#include "model/Prompt.h"

namespace vellum {

bool InputFile::Open(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        CurrentPrompt().Message("Error: The file " + path.string() + " does not exist");
        return false;
    }
    FastFile reader;
    reader.OpenFileRead(path.string());
    if (reader.IsOpen()) buffer_ = FileBuffer::Open(path.string(), reader, static_cast<std::size_t>(reader.Size()));
    if (!buffer_) {
        CurrentPrompt().Message("Error: The file " + path.string() + " could not be read");
        return false;
    }
    return true;
}

ByteSpan InputFile::Bytes() const { return buffer_ ? ByteSpan(buffer_->data(), buffer_->size()) : ByteSpan{}; }

std::string_view InputFile::Text() const {
    const ByteSpan b = Bytes();
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

} // namespace vellum
