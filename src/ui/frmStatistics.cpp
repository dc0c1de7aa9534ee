#include "ui/frmStatistics.h"

#include "model/FileStatistics.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

frmStatistics::frmStatistics(esfile& file, QWidget* parent)
    : QDialog(parent), types_(new TextTableModel({tr("Record Type"), tr("Records")}, this)), grid_(new QTableView),
      masters_(new QListWidget) {
    setWindowTitle(tr("Statistics"));
    const FileStatistics s = FileStatistics::Of(file);
    auto* form = new QFormLayout;
    auto field = [&](const char* name, const QString& label, const std::string& value) {
        auto* v = new QLabel(FromFileText(value));
        v->setObjectName(name);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, v);
    };
    field("Title", tr("File:"), s.Title);
    field("Size", tr("Size:"), s.SizeText);
    field("Type", tr("Type:"), s.TypeText);
    field("Records", tr("Records:"), s.RecordsText);

    grid_->setModel(types_);
    ConfigureListGrid(grid_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grid_, 1);
    layout->addWidget(new QLabel(tr("Dependencies")));
    layout->addWidget(masters_);
    layout->addWidget(buttons);

    std::vector<TextTableModel::Row> rows;
    for (const auto& [type, count] : s.Types) {
        const QString t = QString::fromStdString(type);
        rows.push_back({{t, QString::fromStdString(FileStatistics::Grouped(static_cast<long long>(count)))}, t,
                        CommandIcon(t)});
    }
    types_->SetRows(std::move(rows));
    for (const std::string& m : s.Masters) masters_->addItem(FromFileText(m));
    resize(420, 560);
}

QString frmStatistics::Field(const QString& name) const {
    const QLabel* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

} // namespace vellum::ui
