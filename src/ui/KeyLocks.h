#pragma once

namespace vellum::ui {

// The keyboard's lock lights, for the status bar's "CAPS", "NUM" and "SCRL" panels. Read from
// the X server (libX11 loaded at run time, so the editor does not depend on it); on any other
// platform, or when the library or display is missing, every lock reads as off.
class KeyLocks {
public:
    bool caps = false;
    bool num = false;
    bool scroll = false;

    static KeyLocks Read();
};

} // namespace vellum::ui
