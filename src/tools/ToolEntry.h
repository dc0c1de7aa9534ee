#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellum {

class Config;

// One additional tool: a variable of the settings group "Tools" named by the tool, whose value
// is "category,path,document flag".
struct ToolEntry {
    std::string Name;
    std::string Category = "Root";
    std::string Path;
    bool Document = false;

    static constexpr const char* kGroup = "Tools";
    static constexpr const char* kFoldersGroup = "ToolFolders";
    static constexpr const char* kRoot = "Root";

    // Nullopt when the value has fewer than three fields. The path is everything between the
    // first and the last comma, so a path holding commas survives.
    static std::optional<ToolEntry> Parse(std::string name, std::string_view value);
    std::string Value() const; // "category,path,True|False"

    // A found or located file is a document unless it is a program: a ".exe" or ".bat" name,
    // or (on this system) a file with an execute permission that is not a known document type.
    static bool IsDocumentFile(const std::filesystem::path& file);
};

} // namespace vellum
