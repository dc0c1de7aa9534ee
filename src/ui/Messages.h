#pragma once

#include <string>

namespace vellum::ui {

// The question before safe editing is turned off. The Edit menu and the toolbar/options dialog
// word its second sentence slightly differently.
std::string SafeEditingQuestion(bool toolbarWording);

} // namespace vellum::ui
