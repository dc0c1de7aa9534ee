#pragma once

#include <string_view>

namespace vellum {

// Progress sink of long operations. A negative percentage leaves the bar unchanged and only
// shows the text. Cancelled() is polled between steps; a sink that cannot cancel says false.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void Waiting(double percent, std::string_view text) = 0;
    virtual void DoneWaiting() = 0;
    virtual bool Cancelled() const { return false; }
};

} // namespace vellum
