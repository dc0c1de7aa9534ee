#pragma once

#include "model/RecordEntry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellum {

class esfile;

// What turns one state of a file's record array into another: runs of entries taken, by
// position, from the array it is applied to, and whole entries that array lacks. Entries share
// their data bytes, so a patch costs about the records it holds, never a copy of the file.
class RecordPatch {
public:
    // The patch that turns `source` into `target`. Entries of `target` that `source` holds
    // unchanged (same key and contents) become runs; the others are kept, unpacked ones frozen
    // into bytes so that later edits of the live array cannot reach them.
    static RecordPatch Between(const std::vector<RecordEntry>& target, const std::vector<RecordEntry>& source,
                               const esfile& file);

    // False, leaving `out` alone, when `source` cannot be the array the patch was made against.
    bool Apply(const std::vector<RecordEntry>& source, std::vector<RecordEntry>& out) const;
    // True when applying the patch to an array of `sourceSize` entries changes nothing.
    bool IsIdentity(std::size_t sourceSize) const;
    std::size_t KeptCount() const { return kept_.size(); }
    const std::vector<RecordEntry>& Kept() const { return kept_; }
    // Memory the patch holds: its entries, their texts and data bytes, the runs.
    std::size_t MemoryBytes() const;

    // An entry with the contents it has now, packed into bytes of its own when unpacked.
    static RecordEntry Frozen(const RecordEntry& r, const esfile& file);
    // Equal keys, flags, texts and data bytes (an unpacked entry compared through its bytes).
    static bool Same(const RecordEntry& frozen, const RecordEntry& live, const esfile& file);

private:
    struct Run {
        std::uint32_t from = 0;  // position in the source array, or in kept_
        std::uint32_t count = 0;
        bool kept = false;
    };
    void Push(bool kept, std::uint32_t from);

    std::vector<Run> runs_;
    std::vector<RecordEntry> kept_;
    std::size_t targetSize_ = 0, sourceSize_ = 0;
};

} // namespace vellum
