#pragma once

#include <string>
#include <vector>

namespace vellum {
class Config;
}

namespace vellum::ui {

// The File menu's recent-files list: at most five entries, newest first; a path already listed
// moves to the top instead of appearing twice.
class RecentFiles {
public:
    static constexpr std::size_t kMaxEntries = 5;
    struct Entry {
        std::string display; // the file title
        std::string path;
    };

    void Add(const std::string& display, const std::string& path);
    const std::vector<Entry>& Entries() const { return entries_; }

    // "&1. Morrowind.esm"; a display name over 30 characters shows its first 27 and "...".
    static std::string Caption(std::size_t number, const std::string& display);

    // Settings group "RecentFiles": one variable per entry, name = display, value = path,
    // written oldest first so that reading them in order rebuilds the same list.
    void Load(const Config& settings);
    void Save(Config& settings) const;

private:
    std::vector<Entry> entries_;
};

} // namespace vellum::ui
