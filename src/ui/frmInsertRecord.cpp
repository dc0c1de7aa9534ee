#include "ui/frmInsertRecord.h"

#include "template/Config.h"
#include "ui/Icons.h"

namespace vellum::ui {

frmInsertRecord::frmInsertRecord(const Config& templ, QWidget* parent)
    : ChoiceDialog(tr("Insert Record"), {tr("Record Type")}, parent) {
    std::vector<TextTableModel::Row> rows;
    for (const auto& g : templ.Groups()) {
        if (g.value.Name.size() != 4) continue;
        const QString type = QString::fromStdString(g.value.Name);
        rows.push_back({{type}, type, CommandIcon(type)});
    }
    Model()->SetRows(std::move(rows));
}

} // namespace vellum::ui
