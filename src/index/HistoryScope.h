#pragma once

#include "index/UndoHistory.h"
#include "model/esfile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellum {

// Runs a command as one step of the history; the step ends on every way out, exceptions
// included, so that whatever the command changed before failing can still be undone. Without a
// history (a file opened on its own) it does nothing.
class HistoryScope {
public:
    HistoryScope(UndoHistory* history, std::string name, std::vector<std::string> fileKeys = {},
                 std::uint64_t session = 0)
        : history_(history) {
        if (history_) history_->Begin(std::move(name), std::move(fileKeys), session);
    }
    HistoryScope(UndoHistory& history, std::string name, std::vector<std::string> fileKeys = {})
        : HistoryScope(&history, std::move(name), std::move(fileKeys)) {}
    // A command on one file.
    HistoryScope(esfile& file, std::string name, std::uint64_t session = 0)
        : HistoryScope(file.History(), std::move(name), {file.FileName}, session) {}
    ~HistoryScope() {
        if (history_) history_->End();
    }
    HistoryScope(const HistoryScope&) = delete;
    HistoryScope& operator=(const HistoryScope&) = delete;

    void Rename(std::string name) {
        if (history_) history_->Rename(std::move(name));
    }

private:
    UndoHistory* history_;
};

} // namespace vellum
