#pragma once

#include <functional>
#include <string>

class QMenu;

namespace vellum {
class Config;
}

namespace vellum::ui {

// Puts the additional tools of the settings into the Tools menu after its fixed entries: the
// top-level tools, then a submenu per category. What an earlier call added goes first. `run`
// gets the chosen tool's settings value.
void RebuildToolsMenu(QMenu* tools, const Config& settings, std::function<void(const std::string& value)> run);

} // namespace vellum::ui
