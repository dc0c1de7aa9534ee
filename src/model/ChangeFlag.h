#pragma once

#include <cstdint>

namespace vellum {

// A file's "changed since saved" flag that also counts changes: every assignment of true is
// one more revision, so whatever was worked out from a file (its reference index) can tell
// whether the file moved on since, although the flag itself stays true until a save.
class ChangeFlag {
public:
    ChangeFlag& operator=(bool changed) {
        changed_ = changed;
        if (changed) ++revision_;
        return *this;
    }
    operator bool() const { return changed_; }

    // A new content without a change to save (a load).
    void Touch() { ++revision_; }
    std::uint64_t Revision() const { return revision_; }

private:
    bool changed_ = false;
    std::uint64_t revision_ = 0;
};

} // namespace vellum
