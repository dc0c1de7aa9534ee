#include "tools/ToolEntry.h"

#include "model/Text.h"

#include <array>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

std::optional<ToolEntry> ToolEntry::Parse(std::string name, std::string_view value) {
    std::size_t first = value.find(','), last = value.rfind(',');
    if (first == std::string_view::npos || first == last) return std::nullopt;
    ToolEntry t;
    t.Name = std::move(name);
    t.Category = std::string(value.substr(0, first));
    t.Path = std::string(value.substr(first + 1, last - first - 1));
    t.Document = ToUpper(value.substr(last + 1)) == "TRUE";
    return t;
}

std::string ToolEntry::Value() const {
    return Category + "," + Path + "," + (Document ? "True" : "False");
}

bool ToolEntry::IsDocumentFile(const fs::path& file) {
    std::string name = file.filename().string();
    if (EndsWithNoCase(name, ".exe") || EndsWithNoCase(name, ".bat")) return false;
    static constexpr std::array kDocuments{".txt", ".rtf", ".doc", ".pdf", ".htm", ".html", ".md"};
    for (const char* ext : kDocuments)
        if (EndsWithNoCase(name, ext)) return true;
    std::error_code ec;
    auto st = fs::status(file, ec);
    if (ec || !fs::is_regular_file(st)) return true;
    using fs::perms;
    return (st.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) == perms::none;
}

} // namespace vellum
