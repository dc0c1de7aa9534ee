#pragma once

#include <filesystem>
#include <string>

namespace vellum::ui {

// The book preview page: the text of a book in a table with the book's background, "@" and "#"
// turned into a blue font, images taken from the game's BookArt folder.
std::string BookPreviewHtml(const std::string& text, const std::string& background,
                            const std::filesystem::path& dataFolder);

// Writes "temp.html" into `folder` (replacing it) and opens it with the desktop's browser.
// False when the page could not be written or opened.
bool ShowBookPreview(const std::filesystem::path& folder, const std::string& text,
                     const std::string& background, const std::filesystem::path& dataFolder);

} // namespace vellum::ui
