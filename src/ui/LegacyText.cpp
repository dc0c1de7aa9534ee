#include "ui/LegacyText.h"

#include "model/CodePage.h"

namespace vellum::ui {
namespace {
int g_codePage = kDefaultCodePage;
}

void SetTextCodePage(int codePage) {
    g_codePage = IsSupportedCodePage(codePage) ? codePage : kDefaultCodePage;
}

int TextCodePage() { return g_codePage; }

QString FromFileText(std::string_view bytes) {
    return QString::fromStdU16String(DecodeCodePage(bytes, g_codePage));
}

std::string ToFileText(const QString& text) {
    return EncodeCodePage(text.toStdU16String(), g_codePage);
}

} // namespace vellum::ui
