#pragma once

#include "index/UndoHistory.h"

#include <string>
#include <vector>

namespace vellum {

// Runs a command as one step of the history; the step ends on every way out, exceptions
// included, so that whatever the command changed before failing can still be undone.
class HistoryScope {
public:
    HistoryScope(UndoHistory& history, std::string name, std::vector<std::string> fileKeys = {})
        : history_(history) {
        history_.Begin(std::move(name), std::move(fileKeys));
    }
    ~HistoryScope() { history_.End(); }
    HistoryScope(const HistoryScope&) = delete;
    HistoryScope& operator=(const HistoryScope&) = delete;

    void Rename(std::string name) { history_.Rename(std::move(name)); }

private:
    UndoHistory& history_;
};

} // namespace vellum
