#pragma once

#include "model/Progress.h"

namespace vellum {

// Marks a long operation: Busy is set for its lifetime, and on every path out, exceptions
// included, Busy is cleared and the progress window is told the work is done.
template <class Owner>
class BusyScope {
public:
    BusyScope(Owner& owner, Progress* progress) : owner_(owner), progress_(progress) { owner_.Busy = true; }
    ~BusyScope() {
        owner_.Busy = false;
        if (progress_) progress_->DoneWaiting();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Owner& owner_;
    Progress* progress_;
};

} // namespace vellum
