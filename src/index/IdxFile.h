#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Progress;
class esCheckedEntries;

// Where a data file's index files live: <Indices>/<file title>.rdx and .idx.
std::filesystem::path RefIndexPath(const std::filesystem::path& indicesDir, std::string_view title);
std::filesystem::path IdxPath(const std::filesystem::path& indicesDir, std::string_view title);

// One category of an ID index: the record type and its IDs in ID index order.
struct IdxCategory {
    std::string_view Key;
    std::vector<std::string_view> IDs;
};

// Writes the ID index: the category count, the category keys, then per category its key, ID
// count, the byte length of its ID block and the IDs. Reports "Indexing Category " and
// "Indexing ID " every 31 steps and calls DoneWaiting. A failed write is reported as
// "Function BuildIndex: <n> - <description>" and leaves no .idx behind; returns false.
bool WriteIdxFile(const std::filesystem::path& idx, std::span<const IdxCategory> categories,
                  Progress* progress);

// Readers of the ID index of the data file `title`. A missing file reads as holding nothing; a
// damaged one is reported once ("Function <name>: <n> - <description>") and reads as far as it
// is whole.
bool IdxFileExists(const std::filesystem::path& indicesDir, std::string_view title);
bool IdxHasCategory(const std::filesystem::path& indicesDir, std::string_view title,
                    std::string_view recordType);
// Shows "Checking Indices: <title> <type>(<n> entries)" per category block it passes.
bool IdxHasID(const std::filesystem::path& indicesDir, std::string_view title,
              std::string_view recordType, std::string_view id, Progress* progress);
// Empties `list`, then adds one entry per ID of the category (key and record key = the ID,
// file key = `title`). False when the category is not in the file.
bool LoadIdxCategoryIDs(const std::filesystem::path& indicesDir, std::string_view title,
                        std::string_view recordType, esCheckedEntries& list);

} // namespace vellum
