#include "ui/frmInsertSubrecord.h"

#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vellum::ui {

frmInsertSubrecord::frmInsertSubrecord(esfile& file, const std::string& recordKey, QWidget* parent)
    : ChoiceDialog(tr("Insert Subrecord"), {tr("Subrecord Type")}, parent) {
    const std::string type = recordKey.substr(0, 4);
    std::string id;
    if (file.esRecArrayIndex().Exists(recordKey)) id = file.Rec(recordKey).ID;

    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(CommandIcon(QString::fromStdString(type)).pixmap(24, 24));
    heading->addWidget(icon);
    heading->addWidget(new QLabel(QString::fromStdString(type + " " + id)), 1);
    Layout()->insertLayout(0, heading);

    const std::string upperType = ToUpper(type);
    std::vector<TextTableModel::Row> rows;
    for (const auto& g : file.Template().Groups()) {
        const std::vector<std::string> parts = Split(g.value.Name, '.');
        if (parts.size() != 2 || ToUpper(g.value.Name.substr(0, 4)) != upperType) continue;
        const QString sub = QString::fromStdString(parts[1]);
        rows.push_back({{sub}, sub, CommandIcon("SubRecord")});
    }
    Model()->SetRows(std::move(rows));
}

} // namespace vellum::ui
