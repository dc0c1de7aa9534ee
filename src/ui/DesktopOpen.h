#pragma once

#include <QString>

#include <functional>

namespace vellum::ui {

// Opens a document with the desktop's program for it (xdg-open on Linux). False when nothing
// could be started.
bool DesktopOpen(const QString& path);

// Tests replace the opener to see what would have been opened; an empty function restores it.
void SetDesktopOpener(std::function<bool(const QString&)> opener);

} // namespace vellum::ui
