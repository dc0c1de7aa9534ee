#pragma once

#include "model/ReferenceIndexBuilder.h"

#include <filesystem>
#include <string_view>

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
    std::filesystem::path RefIndexPath(const esfile& file) const;
    std::filesystem::path IdxPath(const esfile& file) const;
    bool RefIndexExists(const esfile& file) const;

    // One entry per reference-valued property of every record, in record order. Packed
    // records are read from their bytes, never decoded. False (with a message) when the file
    // could not be written; no stale index is left then.
    void BuildReferenceIndex(esfile& file, Progress* progress) override;
    bool WriteReferenceIndex(esfile& file, Progress* progress);
    // The categories and their IDs, in index order.
    bool BuildIndex(esfile& file, Progress* progress);

private:
    std::filesystem::path dir_;
};

// The name the index files of `file` are stored under: its title, or its name without folder.
std::string_view IndexTitle(const esfile& file);

} // namespace vellum
