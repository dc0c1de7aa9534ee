#include "ui/KeyLocks.h"

#include <QGuiApplication>

#if defined(__unix__) && !defined(__APPLE__)
#include <dlfcn.h>
#endif

namespace vellum::ui {

namespace {

#if defined(__unix__) && !defined(__APPLE__)
// The few libX11 entry points used, resolved once.
struct X11 {
    using OpenDisplay = void* (*)(const char*);
    using GetIndicatorState = int (*)(void*, unsigned int, unsigned int*);
    void* display = nullptr;
    GetIndicatorState getState = nullptr;

    X11() {
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (!lib)
            return;
        auto open = reinterpret_cast<OpenDisplay>(dlsym(lib, "XOpenDisplay"));
        getState = reinterpret_cast<GetIndicatorState>(dlsym(lib, "XkbGetIndicatorState"));
        if (open && getState)
            display = open(nullptr);
    }
};
#endif

} // namespace

KeyLocks KeyLocks::Read() {
    KeyLocks locks;
#if defined(__unix__) && !defined(__APPLE__)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return locks;
    static X11 x11;
    unsigned int state = 0;
    constexpr unsigned int kUseCoreKeyboard = 0x0100;
    if (!x11.display || x11.getState(x11.display, kUseCoreKeyboard, &state) != 0)
        return locks;
    // The core keyboard's usual indicator order: Caps Lock, Num Lock, Scroll Lock.
    locks.caps = state & 1u;
    locks.num = state & 2u;
    locks.scroll = state & 4u;
#endif
    return locks;
}

} // namespace vellum::ui
