#pragma once

#include "ProgramVersion.h"

namespace vellum::ui {

// The window's design caption; message boxes without a title of their own show it.
inline constexpr const char* kBaseCaption = "Vellum Editor";
inline constexpr const char* kVersionText = vellum::kVersionText;
inline constexpr const char* kClipboardKey = "<Clipboard>";

} // namespace vellum::ui
