#pragma once

namespace vellum::ui {

class EditorContext;

// Reads Vellum.ini into the context's flags (adding missing keys with their defaults) and
// writes them back.
void LoadSettings(EditorContext& context);
void SaveSettings(EditorContext& context);

} // namespace vellum::ui
