#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

// OpenMW's openmw.cfg: "key=value" lines, read in order. Values in double quotes are taken with
// OpenMW's escapes (& before the next character); "#" starts a comment line. A key may repeat
// (data=, content=, fallback-archive=…); a "replace=key" line drops the values of that key read
// before it.
class OpenMWConfig {
public:
    struct Entry {
        std::string key;
        std::string value;
    };

    OpenMWConfig() = default;
    // `folder` is where the file lies: relative paths in it are taken from there.
    OpenMWConfig(std::string_view text, std::filesystem::path folder);
    // A missing, unreadable or oversized file gives an empty configuration.
    static OpenMWConfig Read(const std::filesystem::path& file);
    // The user's OpenMW folders: $XDG_CONFIG_HOME/openmw (the openmw.cfg the launcher writes)
    // and $XDG_DATA_HOME/openmw, under ~/.config and ~/.local/share by default.
    static std::filesystem::path UserConfigFolder();
    static std::filesystem::path UserDataFolder();

    const std::vector<Entry>& Entries() const { return entries_; }
    const std::filesystem::path& Folder() const { return folder_; }

    // Every value of `key` in file order, after the last "replace=key".
    std::vector<std::string> Values(std::string_view key) const;

    // The data folders in OpenMW's order of priority, lowest first: each data=, then data-local=.
    // Relative paths are resolved against Folder(); ?userdata? and ?userconfig? name the user's
    // OpenMW folders under $XDG_DATA_HOME and $XDG_CONFIG_HOME.
    std::vector<std::filesystem::path> DataFolders() const;

    // A path value as OpenMW resolves it.
    std::filesystem::path PathOf(std::string_view value) const;

private:
    std::vector<Entry> entries_;
    std::filesystem::path folder_;
};

} // namespace vellum
