#include "ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellum::ui {
namespace {
std::function<bool(const QString&)> g_opener;
}

bool DesktopOpen(const QString& path) {
    if (g_opener)
        return g_opener(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetDesktopOpener(std::function<bool(const QString&)> opener) { g_opener = std::move(opener); }

} // namespace vellum::ui
