#include "ui/ToolsMenuActions.h"

#include "tools/ToolsMenu.h"
#include "ui/LegacyText.h"

#include <QMenu>

namespace vellum::ui {

namespace {
constexpr const char* kToolMark = "vellumToolEntry";
}

void RebuildToolsMenu(QMenu* tools, const Config& settings, std::function<void(const std::string& value)> run) {
    for (QAction* a : tools->actions()) {
        if (!a->property(kToolMark).toBool()) continue;
        tools->removeAction(a);
        if (QMenu* sub = a->menu()) sub->deleteLater();
        a->deleteLater();
    }
    const ToolsMenu menu = ToolsMenu::Build(settings);
    if (menu.Root.empty() && menu.Categories.empty()) return;
    auto add = [&run](QMenu* to, const ToolsMenu::Item& item) {
        QAction* a = to->addAction(FromFileText(item.Caption));
        a->setProperty(kToolMark, true);
        const std::string value = item.Value;
        QObject::connect(a, &QAction::triggered, a, [run, value] { run(value); });
    };
    tools->addSeparator()->setProperty(kToolMark, true);
    for (const auto& item : menu.Root) add(tools, item);
    for (const auto& category : menu.Categories) {
        QMenu* sub = tools->addMenu(FromFileText(category.Caption));
        sub->menuAction()->setProperty(kToolMark, true);
        for (const auto& item : category.Items) add(sub, item);
    }
}

} // namespace vellum::ui
