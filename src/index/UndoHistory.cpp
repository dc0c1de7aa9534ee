#include "index/UndoHistory.h"

#include "index/Marks.h"
#include "index/esFiles.h"
#include "model/Progress.h"
#include "model/Prompt.h"

#include <algorithm>
#include <unordered_set>

namespace vellum {

namespace {

constexpr std::string_view kRecordsSlot = "{records}";

std::string RecordsText(std::size_t n) { return std::to_string(n) + (n == 1 ? " Record" : " Records"); }

} // namespace

bool UndoStep::Touches(std::string_view fileKey) const {
    return std::any_of(Files.begin(), Files.end(), [&](const FileChange& c) { return KeysEqual(c.FileKey, fileKey); });
}

std::size_t UndoStep::MemoryBytes() const {
    std::size_t n = sizeof(*this) + Name.capacity();
    for (const FileChange& c : Files) n += c.Undo.MemoryBytes() + c.Redo.MemoryBytes() + c.FileKey.capacity();
    return n;
}

void UndoHistory::Begin(std::string name, std::vector<std::string> fileKeys, std::uint64_t session) {
    if (depth_++ > 0) return;
    pendingName_ = std::move(name);
    pendingSession_ = session;
    pending_.clear();
    if (fileKeys.empty())
        for (const auto& e : files_) fileKeys.push_back(e.key);
    for (const std::string& key : fileKeys) {
        esfile* f = files_.Find(key);
        if (!f || f->Clipboard || std::any_of(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.fileKey == key; }))
            continue;
        Pending p{key, {}, f->Changed};
        p.before.reserve(f->Records().size());
        for (const RecordEntry& r : f->Records()) p.before.push_back(RecordPatch::Frozen(r, *f));
        pending_.push_back(std::move(p));
    }
}

void UndoHistory::Rename(std::string name) {
    if (depth_ > 0) pendingName_ = std::move(name);
}

UndoHistory::Counts UndoHistory::CountChanges(const UndoStep::FileChange& change) {
    std::unordered_set<std::string_view> before, after;
    for (const RecordEntry& r : change.Undo.Kept())
        if (r.Name != "TES3") before.insert(r.Key);
    for (const RecordEntry& r : change.Redo.Kept())
        if (r.Name != "TES3") after.insert(r.Key);
    Counts c;
    for (std::string_view k : before) (after.count(k) ? c.changed : c.removed)++;
    c.added = after.size() - c.changed;
    return c;
}

void UndoHistory::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    UndoStep step;
    for (Pending& p : pending_) {
        esfile* f = files_.Find(p.fileKey);
        if (!f) continue;
        RecordPatch undo = RecordPatch::Between(p.before, f->Records(), *f);
        if (undo.IsIdentity(f->Records().size())) continue;
        RecordPatch redo = RecordPatch::Between(f->Records(), p.before, *f);
        step.Files.push_back({p.fileKey, std::move(undo), std::move(redo), p.changed, f->Changed});
    }
    pending_.clear();
    if (step.Files.empty()) return;
    if (pendingSession_ != 0 && pendingSession_ == lastSession_ && position_ == steps_.size() && position_ > 0 &&
        Join(step))
        return;
    lastSession_ = pendingSession_;

    step.Name = std::move(pendingName_);
    if (auto slot = step.Name.find(kRecordsSlot); slot != std::string::npos) {
        std::size_t n = 0;
        for (const auto& c : step.Files) {
            const Counts k = CountChanges(c);
            n += k.added + k.changed + k.removed;
        }
        step.Name.replace(slot, kRecordsSlot.size(), RecordsText(n));
    }
    steps_.resize(position_);
    for (auto& [key, at] : savedAt_)
        if (at != kLost && at > position_) at = kLost;
    steps_.push_back(std::move(step));
    ++position_;
    while (steps_.size() > kMaxSteps) DropOldest();
}

bool UndoHistory::Join(UndoStep& step) {
    UndoStep& last = steps_.back();
    auto find = [](const UndoStep& s, const std::string& key) -> const UndoStep::FileChange* {
        for (const auto& c : s.Files)
            if (c.FileKey == key) return &c;
        return nullptr;
    };
    std::vector<std::string> keys;
    for (const auto* s : {&last, &step})
        for (const auto& c : s->Files)
            if (std::find(keys.begin(), keys.end(), c.FileKey) == keys.end()) keys.push_back(c.FileKey);
    std::vector<UndoStep::FileChange> joined;
    std::vector<std::pair<std::string, bool>> unchanged; // files back where the session found them
    for (const std::string& key : keys) {
        esfile* f = files_.Find(key);
        if (!f) return false;
        const UndoStep::FileChange* now = find(step, key);
        const UndoStep::FileChange* earlier = find(last, key);
        const bool changedBefore = (earlier ? earlier : now)->ChangedBefore;
        // The array before the last step: back through this step, then through the last.
        std::vector<RecordEntry> before = f->Records();
        auto back = [&before](const UndoStep::FileChange* c) {
            std::vector<RecordEntry> out;
            if (!c) return true;
            if (!c->Undo.Apply(before, out)) return false;
            before = std::move(out);
            return true;
        };
        if (!back(now) || !back(earlier)) return false;
        RecordPatch undo = RecordPatch::Between(before, f->Records(), *f);
        if (undo.IsIdentity(f->Records().size())) {
            unchanged.emplace_back(key, changedBefore);
            continue;
        }
        RecordPatch redo = RecordPatch::Between(f->Records(), before, *f);
        joined.push_back({key, std::move(undo), std::move(redo), changedBefore, (now ? now : earlier)->ChangedAfter});
    }
    if (joined.empty()) {
        steps_.pop_back();
        --position_;
        lastSession_ = 0;
    } else {
        last.Files = std::move(joined);
    }
    for (const auto& [key, changed] : unchanged) Refresh(key, changed);
    return true;
}

void UndoHistory::DropOldest() {
    steps_.pop_front();
    --position_;
    for (auto& [key, at] : savedAt_)
        if (at != kLost) at = at == 0 ? kLost : at - 1;
}

bool UndoHistory::SavedHere(const std::string& fileKey) const {
    auto it = savedAt_.find(fileKey);
    if (it == savedAt_.end() || it->second == kLost) return false;
    const std::size_t lo = std::min(it->second, position_), hi = std::max(it->second, position_);
    for (std::size_t s = lo; s < hi; ++s)
        if (steps_[s].Touches(fileKey)) return false;
    return true;
}

void UndoHistory::Refresh(const std::string& fileKey, bool changedInStep) {
    esfile* f = files_.Find(fileKey);
    if (!f) return;
    f->Changed = savedAt_.count(fileKey) ? !SavedHere(fileKey) : changedInStep;
}

bool UndoHistory::Move(std::size_t stepIndex, bool undo, Progress* progress, std::vector<std::string>& touched) {
    const UndoStep& step = steps_[stepIndex];
    // Every file's array is built first, so that a step is put back whole or not at all.
    std::vector<std::pair<esfile*, std::vector<RecordEntry>>> results;
    for (const auto& c : step.Files) {
        esfile* f = files_.Find(c.FileKey);
        if (!f) continue;
        std::vector<RecordEntry> out;
        if (!(undo ? c.Undo : c.Redo).Apply(f->Records(), out)) {
            CurrentPrompt().Message("The file " + c.FileKey +
                                    " was changed outside the undo history; the history has been cleared.");
            clear();
            return false;
        }
        results.emplace_back(f, std::move(out));
    }
    position_ = undo ? stepIndex : stepIndex + 1;
    lastSession_ = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        auto& [f, records] = results[i];
        const auto& c = step.Files[i];
        if (progress) progress->Waiting(-1, (undo ? "Undoing " : "Redoing ") + step.Name + ": " + c.FileKey);
        f->RestoreRecords(std::move(records));
        DropStaleTicks(*f, files_.CheckedEntries(c.FileKey));
        files_.Indexer().BuildReferenceIndex(*f, progress);
        Refresh(c.FileKey, undo ? c.ChangedBefore : c.ChangedAfter);
        if (std::find(touched.begin(), touched.end(), c.FileKey) == touched.end()) touched.push_back(c.FileKey);
    }
    return true;
}

std::vector<std::string> UndoHistory::Undo(Progress* progress) {
    std::vector<std::string> touched;
    if (CanUndo()) Move(position_ - 1, true, progress, touched);
    if (progress) progress->DoneWaiting();
    return touched;
}

std::vector<std::string> UndoHistory::Redo(Progress* progress) {
    std::vector<std::string> touched;
    if (CanRedo()) Move(position_, false, progress, touched);
    if (progress) progress->DoneWaiting();
    return touched;
}

std::vector<std::string> UndoHistory::JumpTo(std::size_t position, Progress* progress) {
    std::vector<std::string> touched;
    if (depth_ > 0) return touched;
    position = std::min(position, steps_.size());
    while (position_ > position && Move(position_ - 1, true, progress, touched)) {}
    while (position_ < position && Move(position_, false, progress, touched)) {}
    if (progress) progress->DoneWaiting();
    return touched;
}

void UndoHistory::MarkSaved(const std::string& fileKey) {
    savedAt_[fileKey] = position_;
    lastSession_ = 0; // a step that joined the last would cover the saved state
}

void UndoHistory::Forget(std::string_view fileKey) {
    lastSession_ = 0;
    for (std::size_t s = steps_.size(); s-- > 0;) {
        auto& changes = steps_[s].Files;
        std::erase_if(changes, [&](const UndoStep::FileChange& c) { return KeysEqual(c.FileKey, fileKey); });
        if (!changes.empty()) continue;
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(s));
        if (s < position_) --position_;
        for (auto& [key, at] : savedAt_)
            if (at != kLost && at > s) --at;
    }
    std::erase_if(savedAt_, [&](const auto& e) { return KeysEqual(e.first, fileKey); });
    std::erase_if(pending_, [&](const Pending& p) { return KeysEqual(p.fileKey, fileKey); });
}

void UndoHistory::clear() {
    steps_.clear();
    lastSession_ = 0;
    position_ = 0;
    savedAt_.clear();
}

} // namespace vellum
