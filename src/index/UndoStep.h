#pragma once

#include "index/RecordPatch.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vellum {

// One user command as the history keeps it: for every file it changed, the patches back to the
// state before and forward to the state after, and the file's changed flag on either side.
struct UndoStep {
    struct FileChange {
        std::string FileKey;
        RecordPatch Undo, Redo;
        bool ChangedBefore = false, ChangedAfter = false;
    };
    std::string Name;
    std::vector<FileChange> Files;

    bool Touches(std::string_view fileKey) const;
    std::size_t MemoryBytes() const;
};

} // namespace vellum
