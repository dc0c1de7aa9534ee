#pragma once

#include "model/ReferenceIndexBuilder.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <unordered_map>

namespace vellum {

class esfile;
class Progress;

// Writes a file's reference index (.rdx) and ID index (.idx) into the "Indices" folder.
// Installed into every file of the open-file collection, so that loading a file ends by
// indexing its references.
class ReferenceIndexer : public ReferenceIndexBuilder {
public:
    explicit ReferenceIndexer(std::filesystem::path indicesDir) : dir_(std::move(indicesDir)) {}

    const std::filesystem::path& IndicesDir() const { return dir_; }
    // <title>.<8 hex digits of the full file name>.rdx: two files of one title, or one file
    // saved under another name, never share a reference index.
    std::filesystem::path RefIndexPath(const esfile& file) const;
    // <title>.idx, which the look-up windows find for files that are not open.
    std::filesystem::path IdxPath(const esfile& file) const;
    bool RefIndexExists(const esfile& file) const;

    // One entry per reference-valued property of every record, in record order. Packed
    // records are read from their bytes, never decoded. False (with a message) when the file
    // could not be written; no stale index is left then.
    void BuildReferenceIndex(esfile& file, Progress* progress) override;
    bool WriteReferenceIndex(esfile& file, Progress* progress);
    // The path of a reference index that describes `file` as it is in memory now: the one
    // written last when neither the file nor the index changed since, else a new one. Empty
    // when none can be written.
    std::filesystem::path CurrentRefIndex(esfile& file, Progress* progress);
    // The categories and their IDs, in index order.
    bool BuildIndex(esfile& file, Progress* progress);

private:
    // What the last index written for a file described: the file's revision, and the index
    // file as it was left, so that a file replaced behind our back is noticed.
    struct Stamp {
        std::uint64_t revision = 0;
        std::filesystem::path path;
        std::filesystem::file_time_type written{};
        std::uintmax_t size = 0;
    };
    bool Fresh(const esfile& file) const;

    std::filesystem::path dir_;
    std::unordered_map<std::uint64_t, Stamp> stamps_; // by esfile::Serial
};

// The name the index files of `file` are stored under: its title, or its name without folder.
std::string_view IndexTitle(const esfile& file);

} // namespace vellum
