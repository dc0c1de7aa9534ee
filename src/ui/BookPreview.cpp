#include "ui/BookPreview.h"

#include "ui/DesktopOpen.h"

#include <fstream>
#include <system_error>

namespace vellum::ui {
namespace {

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
        s.replace(pos, from.size(), to);
}

} // namespace

std::string BookPreviewHtml(const std::string& text, const std::string& background,
                            const std::filesystem::path& dataFolder) {
    std::string body = text;
    ReplaceAll(body, "@", "<FONT COLOR = 0000ff>");
    ReplaceAll(body, "#", "</FONT>");
    std::string art = dataFolder.string();
    if (!art.empty() && art.back() != '/')
        art += '/';
    ReplaceAll(body, "<IMG SRC=\"", "<IMG SRC=\"" + art + "BookArt/");
    std::string page;
    page += "<HTML> <BODY>\n";
    page += "<TABLE background='" + background + "' width = 393 CELLPADDING=20>\n";
    page += "<td>\n";
    page += body + "\n";
    page += "</td></tr></Table>\n";
    page += "</BODY> </HTML>\n";
    return page;
}

bool ShowBookPreview(const std::filesystem::path& folder, const std::string& text,
                     const std::string& background, const std::filesystem::path& dataFolder) {
    const std::filesystem::path page = folder / "temp.html";
    std::error_code ec;
    std::filesystem::remove(page, ec);
    {
        std::ofstream out(page, std::ios::binary);
        out << BookPreviewHtml(text, background, dataFolder);
        if (!out)
            return false;
    }
    return DesktopOpen(QString::fromStdString(page.string()));
}

} // namespace vellum::ui
