#pragma once

#include "index/UndoStep.h"
#include "model/RecordEntry.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vellum {

class esFiles;
class Progress;

// The undo history of a set of open files: one step per user command, whatever it touched.
// A command runs between Begin and End (see HistoryScope): Begin notes the record arrays of the
// files it may change, End keeps what differs. Undo and redo put record arrays back and rebuild
// the indexes in memory and on disk.
class UndoHistory {
public:
    static constexpr std::size_t kMaxSteps = 200;

    explicit UndoHistory(esFiles& files) : files_(files) {}

    // Scopes nest: the outermost names the step and says which files it may change (empty:
    // every open file but the clipboard, whose contents a user never undoes); inner ones join
    // it. "{records}" in the name becomes the count of records the step changed ("12 Records").
    // A step of a session (see NewSession) that ends right after the previous step of the same
    // session, with nothing recorded, undone or saved in between, joins that step.
    void Begin(std::string name, std::vector<std::string> fileKeys = {}, std::uint64_t session = 0);
    // A run of small edits a user sees as one, such as the bytes typed into a byte grid.
    std::uint64_t NewSession() { return ++sessions_; }
    // The step's name once the command knows what it did ("Delete 12 Records").
    void Rename(std::string name);
    const std::string& PendingName() const { return pendingName_; }
    void End();
    bool Recording() const { return depth_ > 0; }

    std::size_t Count() const { return steps_.size(); }
    std::size_t Position() const { return position_; } // steps in force
    const UndoStep& Step(std::size_t position) const { return steps_.at(position - 1); } // 1-based
    bool CanUndo() const { return depth_ == 0 && position_ > 0; }
    bool CanRedo() const { return depth_ == 0 && position_ < steps_.size(); }
    std::string UndoName() const { return CanUndo() ? steps_[position_ - 1].Name : std::string(); }
    std::string RedoName() const { return CanRedo() ? steps_[position_].Name : std::string(); }

    // The files changed by the move; empty when there was nothing to do. A file whose records
    // no longer fit the history (changed behind its back) ends the history with a message.
    std::vector<std::string> Undo(Progress* progress = nullptr);
    std::vector<std::string> Redo(Progress* progress = nullptr);
    std::vector<std::string> JumpTo(std::size_t position, Progress* progress = nullptr);

    // The file now matches its copy on disk: coming back to this point clears its changed flag.
    void MarkSaved(const std::string& fileKey);
    // A file closed: its changes leave every step, and steps left empty go.
    void Forget(std::string_view fileKey);
    void clear();

    // Records (the header aside) a step added to, changed in and removed from one file.
    struct Counts {
        std::size_t added = 0, changed = 0, removed = 0;
    };
    static Counts CountChanges(const UndoStep::FileChange& change);

private:
    struct Pending {
        std::string fileKey;
        std::vector<RecordEntry> before;
        bool changed = false;
    };
    // Folds `step` into the last step; false, changing nothing, when the arrays no longer fit.
    bool Join(UndoStep& step);
    bool Move(std::size_t stepIndex, bool undo, Progress* progress, std::vector<std::string>& touched);
    void Refresh(const std::string& fileKey, bool changedInStep);
    void DropOldest();
    bool SavedHere(const std::string& fileKey) const;

    esFiles& files_;
    std::deque<UndoStep> steps_;
    std::size_t position_ = 0;
    int depth_ = 0;
    std::string pendingName_;
    std::vector<Pending> pending_;
    std::uint64_t sessions_ = 0, pendingSession_ = 0, lastSession_ = 0; // lastSession_: of the last step
    // Position at which each saved file matched its disk copy; kLost once that state is gone.
    static constexpr std::size_t kLost = static_cast<std::size_t>(-1);
    std::unordered_map<std::string, std::size_t> savedAt_;
};

} // namespace vellum
