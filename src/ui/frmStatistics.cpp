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
    : QDialog(parent),
      types_(new TextTableModel({tr("Record Type"), tr("Records"), tr("Added"), tr("Changed"), tr("Deleted")}, this)),
      grid_(new QTableView), deleted_(new QListWidget), masters_(new QListWidget) {
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
    layout->addWidget(grid_, 4);
    // Deleted records are no longer in the tree: their IDs are only here.
    auto* deletedLabel = new QLabel(tr("Deleted since the file was loaded"));
    layout->addWidget(deletedLabel);
    layout->addWidget(deleted_, 1);
    deletedLabel->setVisible(!s.Deleted.empty());
    deleted_->setVisible(!s.Deleted.empty());
    layout->addWidget(new QLabel(tr("Dependencies")));
    layout->addWidget(masters_, 1);
    layout->addWidget(buttons);

    auto number = [](std::size_t n) { return QString::fromStdString(FileStatistics::Grouped(static_cast<long long>(n))); };
    std::vector<TextTableModel::Row> rows;
    for (const FileStatistics::TypeCount& t : s.Types) {
        const QString type = FromFileText(t.Type);
        rows.push_back({{type, number(t.Total), number(t.Added), number(t.Changed), number(t.Deleted)}, type,
                        t.HasChanges() ? MarkedIcon(type, QStringLiteral("Changed")) : CommandIcon(type)});
    }
    const FileStatistics::TypeCount& all = s.Totals;
    rows.push_back({{tr("Total"), number(all.Total), number(all.Added), number(all.Changed), number(all.Deleted)}});
    types_->SetRows(std::move(rows));
    for (const esfile::DeletedRecord& d : s.Deleted)
        deleted_->addItem(FromFileText(d.Type + " " + d.ID));
    for (const std::string& m : s.Masters) masters_->addItem(FromFileText(m));
    resize(560, 680);
}

QString frmStatistics::Field(const QString& name) const {
    const QLabel* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

} // namespace vellum::ui
