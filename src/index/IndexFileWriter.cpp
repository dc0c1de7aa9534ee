#include "index/IndexFileWriter.h"

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

void AppendDecimal(std::string& out, std::int64_t v) {
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, v);
    out.append(b, r.ptr);
}

std::size_t DecimalWidth(std::int64_t v) {
    char b[24];
    return static_cast<std::size_t>(std::to_chars(b, b + sizeof b, v).ptr - b);
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
    std::size_t n = id.size() + DecimalWidth(recordIndex) + DecimalWidth(subrecordIndex) +
                    recordType.size() + subrecordType.size() + propertyName.size() + 5;
    AppendLength(buffer_, n);
    for (char c : id) buffer_.push_back((c >= 'a' && c <= 'z') ? char(c - 32) : c);
    buffer_.push_back('\0');
    AppendDecimal(buffer_, recordIndex);
    buffer_.push_back('\0');
    AppendDecimal(buffer_, subrecordIndex);
    buffer_.push_back('\0');
    buffer_.append(recordType).push_back('\0');
    buffer_.append(subrecordType).push_back('\0');
    buffer_.append(propertyName);
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
