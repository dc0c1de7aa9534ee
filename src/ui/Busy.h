#pragma once

#include <functional>

namespace vellum::ui {

// The busy nesting count of long operations. While it is above zero the main window is
// disabled (all but its progress area, so that Cancel keeps working).
void BeginBusy();
void EndBusy(); // never below zero
int BusyCount();

// The main window registers how it shows the busy state; called with true at 0 -> 1 and with
// false when the count returns to 0.
void SetBusyHandler(std::function<void(bool busy)> handler);

// BeginBusy for the lifetime of the guard, so every path (exceptions too) ends it.
class BusyGuard {
public:
    BusyGuard() { BeginBusy(); }
    ~BusyGuard() { EndBusy(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

} // namespace vellum::ui
