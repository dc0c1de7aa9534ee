#include "ui/frmParentLookup.h"

#include "model/esfile.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"

#include <QTableView>

#include <algorithm>

namespace vellum::ui {

frmParentLookup::frmParentLookup(const esfile& file, const std::string& parentType, const QString& parentCaption,
                                 QWidget* parent)
    : ChoiceDialog("Select Parent " + parentCaption, {tr("ID"), tr("Description")}, parent) {
    std::vector<TextTableModel::Row> rows;
    if (const auto* category = file.esRecArrayCatIndex().Item(parentType)) {
        const QIcon icon = CommandIcon(QString::fromStdString(parentType));
        rows.reserve(category->esRecArrayCatEntries.Count());
        for (const auto& e : category->esRecArrayCatEntries) {
            const int i = e.value.IndexNumber;
            if (i < 0 || i >= static_cast<int>(file.Records().size())) continue;
            const RecordEntry& r = file.Records()[static_cast<std::size_t>(i)];
            rows.push_back({{FromFileText(r.ID), FromFileText(r.Description)}, QString::fromStdString(e.key), icon});
        }
    }
    Model()->SetRows(std::move(rows));
    // Topics are long and have no description: the IDs take the room they need.
    List()->resizeColumnToContents(0);
    resize(std::max(width(), std::min(List()->columnWidth(0) + 200, 900)), height());
}

} // namespace vellum::ui
