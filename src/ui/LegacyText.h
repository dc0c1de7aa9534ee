#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vellum::ui {

// Text of the data files (and of the core's messages, which quote it) is 8-bit; the editor shows
// it through the code page chosen in the settings and writes it back byte for byte.
void SetTextCodePage(int codePage); // unsupported pages fall back to 1252
int TextCodePage();

QString FromFileText(std::string_view bytes);
std::string ToFileText(const QString& text);

} // namespace vellum::ui
