#include "ui/Busy.h"

namespace vellum::ui {
namespace {
int g_count = 0;
std::function<void(bool)> g_handler;
} // namespace

void BeginBusy() {
    if (++g_count == 1 && g_handler)
        g_handler(true);
}

void EndBusy() {
    if (g_count <= 0) {
        g_count = 0;
        return;
    }
    if (--g_count == 0 && g_handler)
        g_handler(false);
}

int BusyCount() { return g_count; }

void SetBusyHandler(std::function<void(bool)> handler) { g_handler = std::move(handler); }

} // namespace vellum::ui
