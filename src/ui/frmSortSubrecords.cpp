#include "ui/frmSortSubrecords.h"

#include "index/HistoryScope.h"
#include "model/esfile.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace vellum::ui {

std::string frmSortSubrecords::Summary(const std::vector<std::string>& values) {
    constexpr std::size_t kValues = 10, kLength = 45;
    std::string s;
    for (std::size_t i = 0; i < values.size() && i < kValues; ++i) s += (i ? ", " : "") + values[i];
    if (values.size() > kValues) s += ", ...";
    if (s.size() > kLength) s = s.substr(0, kLength - 3) + "...";
    return "(" + s + ")";
}

frmSortSubrecords::frmSortSubrecords(esfile& file, const std::string& recordKey, QWidget* parent)
    : QDialog(parent), file_(file), recordKey_(recordKey),
      model_(new TextTableModel({tr("Order"), tr("Subrecord")}, this)), grid_(new QTableView) {
    setWindowTitle(tr("Sort Subrecords"));
    RecordEntry& r = file_.Rec(recordKey_);
    const QString type = QString::fromStdString(recordKey_.substr(0, 4));

    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(CommandIcon(type).pixmap(24, 24));
    heading->addWidget(icon);
    heading->addWidget(new QLabel(FromFileText(recordKey_ + " " + r.Description.str())), 1);

    wasPacked_ = r.Packed;
    file_.UnPackRecord(recordKey_);
    std::vector<TextTableModel::Row> rows;
    int n = 0;
    if (r.SubRecords) {
        for (const auto& e : *r.SubRecords) {
            file_.UnpackSubRecord(recordKey_, e.key);
            std::vector<std::string> values;
            for (const auto& p : e.value.Properties) values.push_back(p.value.Text());
            const QString order = QString::asprintf("%03d", n++);
            rows.push_back({{order, FromFileText(e.value.Name + " " + Summary(values))},
                            QString::fromStdString(e.key), CommandIcon("SubRecord")});
        }
    }
    model_->SetRows(std::move(rows));

    grid_->setModel(model_);
    ConfigureListGrid(grid_);
    grid_->setCurrentIndex(model_->index(0, 0));

    auto* up = new QPushButton(CommandIcon("UpLevel"), tr("&Up"));
    auto* down = new QPushButton(tr("&Down"));
    connect(up, &QPushButton::clicked, this, &frmSortSubrecords::MoveUp);
    connect(down, &QPushButton::clicked, this, &frmSortSubrecords::MoveDown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(up, QDialogButtonBox::ActionRole);
    buttons->addButton(down, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmSortSubrecords::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmSortSubrecords::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
    resize(460, 480);
}

frmSortSubrecords::~frmSortSubrecords() { Restore(); }

void frmSortSubrecords::MoveUp() { Move(-1); }
void frmSortSubrecords::MoveDown() { Move(1); }

void frmSortSubrecords::Move(int delta) {
    const int row = grid_->currentIndex().row();
    const int to = row + delta;
    if (row < 0 || to < 0 || to >= model_->rowCount()) return;
    model_->MoveRow(row, to);
    grid_->setCurrentIndex(model_->index(to, 0));
}

void frmSortSubrecords::accept() {
    RecordEntry& r = file_.Rec(recordKey_);
    if (r.SubRecords) {
        HistoryScope step(file_, "Sort Subrecords");
        auto sorted = std::make_shared<Subrecords>();
        for (const auto& row : model_->Rows()) {
            const std::string key = row.key.toStdString();
            if (const Subrecord* s = r.SubRecords->Find(key)) sorted->KeyedCollection<Subrecord>::Add(key, *s);
        }
        file_.SetSubrecords(recordKey_, std::move(sorted));
        file_.Changed = true;
    }
    Restore();
    QDialog::accept();
}

void frmSortSubrecords::reject() {
    Restore();
    QDialog::reject();
}

// A record that came packed leaves packed, whichever way the window closes.
void frmSortSubrecords::Restore() {
    if (restored_) return;
    restored_ = true;
    if (wasPacked_) file_.PackRecord(recordKey_);
}

} // namespace vellum::ui
