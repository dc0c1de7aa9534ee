#pragma once

#include <QIcon>
#include <QString>

namespace vellum::ui {

// Icons by the key of the command or tree image that shows them ("FileOpen", "Cut", "Back",
// "SubRecord", ...): the desktop theme's icon when the theme has one, else one drawn here.
QIcon CommandIcon(const QString& key);

// CommandIcon(key) with a badge in its lower right corner: "Added" a green disc with a plus,
// "Changed" an orange disc.
QIcon MarkedIcon(const QString& key, const QString& mark);

// The program's own icon: the icon theme's "vellum", else the shipped vellum.png, else drawn.
QIcon ApplicationIcon();

} // namespace vellum::ui
