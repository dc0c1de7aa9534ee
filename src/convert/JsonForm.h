#pragma once

#include <string_view>

namespace vellum::jsonform {

// The members of the text form's document that both directions name.
inline constexpr std::string_view kFormat = "vellum-tes3";
inline constexpr int kVersion = 1;
inline constexpr std::string_view kFormatKey = "format";
inline constexpr std::string_view kVersionKey = "version";
inline constexpr std::string_view kEncodingKey = "encoding";
inline constexpr std::string_view kCountKey = "recordCount"; // records after the header when written
inline constexpr std::string_view kRecordsKey = "records";
inline constexpr std::string_view kTrailingKey = "trailing"; // bytes after the last whole record

} // namespace vellum::jsonform
