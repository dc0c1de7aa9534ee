#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Config;
class Progress;

// Looks for known tools, described by the signature file, on the local disks and adds each
// one found to the settings group "Tools" (a tool already listed by name is left alone).
class ToolScanner {
public:
    static constexpr std::string_view kQuestion =
        "This operation will scan all your drives for other Morrowind editing tools and add them to "
        "your Additional Tools menu. If you have a large number of folders on drives, it can take "
        "a little while. Continue?";

    struct Result {
        int added = 0;
        int unreadable = 0; // folders skipped because they could not be listed
        bool cancelled = false;
    };

    ToolScanner(const Config& signatures, Config& settings, Progress* progress = nullptr);

    // The mount points of local disk file systems in a /proc/mounts text, in its order,
    // nested ones included (each is scanned on its own, as scans stay on one file system).
    static std::vector<std::filesystem::path> FixedDrives(std::string_view procMounts);
    static std::vector<std::filesystem::path> FixedDrives(); // of this system

    // Scans every folder below each root, depth first, without entering hidden (dot) folders,
    // symbolic links or other file systems. Categories the new tools name get a "ToolFolders"
    // entry after the existing ones.
    Result Scan(const std::vector<std::filesystem::path>& roots);

private:
    struct Signature {
        std::string tool, fileName, category;
    };
    void ScanTree(const std::filesystem::path& root);
    void ScanFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& subfolders);
    void Found(const Signature& s, const std::filesystem::path& file);
    void Report(const std::filesystem::path& folder);

    std::vector<Signature> signatures_;
    Config& settings_;
    Progress* progress_;
    Result result_;
    long long lastReport_ = 0;
};

} // namespace vellum
