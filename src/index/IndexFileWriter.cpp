#include "index/IndexFileWriter.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace vellum {

namespace {
constexpr std::size_t kFlushAt = 1 << 20;

void AppendLength(std::string& out, std::size_t n) {
    auto v = static_cast<std::uint32_t>(n);
    char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    out.append(b, 4);
}

} // namespace

IndexFileWriter::IndexFileWriter(std::filesystem::path target)
    : target_(std::move(target)), out_(OpenIndexOutput(target_)) {
    buffer_.reserve(kFlushAt + 4096);
}

void IndexFileWriter::WriteIndexString(std::string_view text) {
    AppendLength(buffer_, text.size());
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt) Flush();
}

void IndexFileWriter::WriteIndexNumber(std::int64_t value) {
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, value);
    WriteIndexString(std::string_view(b, static_cast<std::size_t>(r.ptr - b)));
}

void IndexFileWriter::WriteRefEntry(std::string_view id, std::int32_t recordIndex,
                                    std::int32_t subrecordIndex, std::string_view recordType,
                                    std::string_view subrecordType,
                                    std::string_view propertyName) {
    // One entry per reference of a large master: the fields are written straight into place.
    char record[12], subrecord[12];
    const std::size_t recordWidth = static_cast<std::size_t>(std::to_chars(record, record + sizeof record, recordIndex).ptr - record);
    const std::size_t subrecordWidth =
        static_cast<std::size_t>(std::to_chars(subrecord, subrecord + sizeof subrecord, subrecordIndex).ptr - subrecord);
    const std::size_t n = id.size() + recordWidth + subrecordWidth + recordType.size() + subrecordType.size() +
                          propertyName.size() + 5;
    AppendLength(buffer_, n);
    const std::size_t start = buffer_.size();
    buffer_.resize(start + n);
    char* out = buffer_.data() + start;
    for (char c : id) *out++ = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    for (std::string_view field : {std::string_view(record, recordWidth), std::string_view(subrecord, subrecordWidth),
                                   recordType, subrecordType, propertyName}) {
        *out++ = '\0';
        out = std::copy(field.begin(), field.end(), out);
    }
    if (buffer_.size() >= kFlushAt) Flush();
}

void IndexFileWriter::Flush() {
    if (!failed_ && !buffer_.empty() && !(out_ && out_->Write(buffer_))) {
        failed_ = true;
        error_ = out_ ? out_->Error() : "no output";
    }
    buffer_.clear();
}

bool IndexFileWriter::Finish() {
    Flush();
    if (!failed_ && !out_->Commit()) {
        failed_ = true;
        error_ = out_->Error();
    }
    out_.reset();
    if (failed_) {
        std::error_code ec;
        std::filesystem::remove(target_, ec);
    }
    return !failed_;
}

} // namespace vellum
