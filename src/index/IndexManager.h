#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class esFiles;
class Progress;

// The logic of the index management window: which data files there are, which have an ID
// index, and indexing a file whether or not it is open.
namespace index_manager {

inline constexpr std::string_view kIndexAllQuestion =
    "Re-index all Files: This may take a long time, especially if you have a lot of plugin files "
    "in your Morrowind data directory. Continue?";
inline constexpr std::string_view kIndexNotIndexedQuestion =
    "Index all Files without Indices: This may take a long time. Continue?";
inline constexpr std::string_view kReIndexIndexedQuestion =
    "Re-index all Indexed Files: This may take a long time. Continue?";

struct Row {
    std::filesystem::path File;
    bool Indexed = false;   // an .idx exists
    std::string StateText;  // "Indexed" or empty
    std::string ActionText; // "Re-index File" or "Index File"
};

// Every "*.esm" of the data folder, then every "*.esp" whose name does not end in "ESM", each
// group by name; a missing or unreadable folder lists nothing.
std::vector<Row> ListDataFiles(const std::filesystem::path& dataFolder, const std::filesystem::path& indicesDir);

enum class Selection { All, NotIndexed, Indexed };
std::vector<std::filesystem::path> Select(const std::vector<Row>& rows, Selection which);

// Writes the file's ID index. An open file is indexed as it is; any other is opened for the
// purpose (its load writes the reference index), indexed and closed again ("Unloading").
bool IndexDataFile(esFiles& files, const std::filesystem::path& file, Progress* progress);

} // namespace index_manager
} // namespace vellum
