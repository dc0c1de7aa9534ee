#include "tools/ToolScanner.h"

#include "model/KeyedCollection.h"
#include "model/Progress.h"
#include "model/Text.h"
#include "template/Config.h"
#include "tools/ToolEntry.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unordered_map>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::array kDiskTypes{"ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs", "reiserfs",
                                "vfat", "exfat", "ntfs", "ntfs3", "fuseblk", "zfs", "bcachefs",
                                "overlay", "hfsplus", "msdos", "nilfs2"};

// /proc/mounts writes blanks in paths as octal escapes ("\040").
std::string Unescape(std::string_view field) {
    auto octal = [&](std::size_t k) { return field[k] >= '0' && field[k] <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ToolScanner::ToolScanner(const Config& signatures, Config& settings, Progress* progress)
    : settings_(settings), progress_(progress) {
    for (const auto& g : signatures.Groups()) {
        const Variable* file = g.value.Variables.Find("Filename");
        if (!file || TrimSpaces(file->Value).empty()) continue;
        const Variable* cat = g.value.Variables.Find("Category");
        std::string category = cat && !TrimSpaces(cat->Value).empty() ? std::string(TrimSpaces(cat->Value))
                                                                       : ToolEntry::kRoot;
        signatures_.push_back({g.value.Name, std::string(TrimSpaces(file->Value)), category});
    }
}

std::vector<fs::path> ToolScanner::FixedDrives(std::string_view procMounts) {
    std::vector<fs::path> out;
    for (const std::string& line : Split(procMounts, '\n')) {
        std::vector<std::string> f;
        for (std::string& part : Split(line, ' '))
            if (!part.empty()) f.push_back(std::move(part));
        if (f.size() < 3) continue;
        bool disk = false;
        for (const char* t : kDiskTypes) disk = disk || f[2] == t;
        fs::path point = Unescape(f[1]);
        if (!disk || std::find(out.begin(), out.end(), point) != out.end()) continue;
        out.push_back(std::move(point));
    }
    return out;
}

std::vector<fs::path> ToolScanner::FixedDrives() {
    std::ifstream in("/proc/mounts");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return FixedDrives(text);
}

ToolScanner::Result ToolScanner::Scan(const std::vector<fs::path>& roots) {
    result_ = {};
    settings_.AddGroup(ToolEntry::kGroup);
    std::vector<std::pair<fs::path, dev_t>> done;
    for (const fs::path& root : roots) {
        if (result_.cancelled) break;
        // Bind mounts show a disk again below itself, and files can be mount points too.
        struct stat st{};
        if (::stat(root.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) continue;
            bool seen = std::any_of(done.begin(), done.end(), [&](const auto& d) {
                auto rel = root.lexically_relative(d.first);
                return d.second == st.st_dev && !rel.empty() && *rel.begin() != "..";
            });
            if (seen) continue;
            done.emplace_back(root, st.st_dev);
        }
        ScanTree(root);
    }
    return result_;
}

void ToolScanner::Report(const fs::path& folder) {
    // Whole disks hold many thousand folders: show a few names a second, not every one.
    long long now = NowMs();
    if (lastReport_ != 0 && now - lastReport_ < 100) return;
    lastReport_ = now;
    if (progress_) progress_->Waiting(-1, "Scanning " + folder.string());
}

void ToolScanner::ScanTree(const fs::path& root) {
    struct stat rootStat{};
    if (::stat(root.c_str(), &rootStat) != 0) {
        ++result_.unreadable;
        return;
    }
    std::vector<fs::path> pending{root};
    std::vector<fs::path> subfolders;
    while (!pending.empty()) {
        if (progress_ && progress_->Cancelled()) {
            result_.cancelled = true;
            return;
        }
        fs::path folder = std::move(pending.back());
        pending.pop_back();
        subfolders.clear();
        ScanFolder(folder, subfolders);
        // Depth first in listing order: push in reverse.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
            struct stat st{};
            if (::lstat(it->c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == rootStat.st_dev)
                pending.push_back(std::move(*it));
        }
    }
}

void ToolScanner::ScanFolder(const fs::path& folder, std::vector<fs::path>& subfolders) {
    Report(folder);
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        ++result_.unreadable;
        return;
    }
    std::unordered_map<std::string, fs::path, FoldedHash, FoldedEqual> files;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const fs::path& p = it->path();
        std::string name = p.filename().string();
        std::error_code sec;
        if (it->is_symlink(sec) || sec) {
            if (it->is_regular_file(sec)) files.emplace(name, p); // a linked program counts
            continue;
        }
        if (it->is_directory(sec)) {
            if (name.front() != '.') subfolders.push_back(p);
        } else if (it->is_regular_file(sec)) {
            files.emplace(name, p);
        }
    }
    if (files.empty()) return;
    for (const Signature& s : signatures_)
        if (auto f = files.find(s.fileName); f != files.end()) Found(s, f->second);
}

void ToolScanner::Found(const Signature& s, const fs::path& file) {
    if (settings_.VarExists(ToolEntry::kGroup, s.tool)) return;
    ToolEntry tool{s.tool, s.category, file.string(), ToolEntry::IsDocumentFile(file)};
    if (settings_.AddVar(ToolEntry::kGroup, s.tool, tool.Value()) != 0) return;
    ++result_.added;
    if (KeysEqual(s.category, ToolEntry::kRoot) || settings_.VarExists(ToolEntry::kFoldersGroup, s.category))
        return;
    settings_.AddGroup(ToolEntry::kFoldersGroup);
    double last = 0;
    for (const auto& e : settings_.FindGroup(ToolEntry::kFoldersGroup)->Variables)
        last = std::max(last, Val(e.value.Value));
    settings_.AddVar(ToolEntry::kFoldersGroup, s.category, std::to_string(static_cast<long long>(last) + 1));
}

} // namespace vellum
