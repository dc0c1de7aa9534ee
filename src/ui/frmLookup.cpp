#include "ui/frmLookup.h"

#include "model/Progress.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

frmLookup::frmLookup(esfile& file, std::vector<const esfile*> openFiles, std::vector<std::string> types,
                     Progress* progress, QWidget* parent)
    : QDialog(parent), file_(file), openFiles_(std::move(openFiles)), progress_(progress),
      model_(new TextTableModel({tr("ID"), tr("File")}, this)), grid_(new QTableView), typesBox_(new QComboBox) {
    setWindowTitle(tr("Lookup"));
    for (const std::string& t : types) {
        const QString type = QString::fromStdString(t);
        typesBox_->addItem(CommandIcon(type), type);
    }
    grid_->setModel(model_);
    ConfigureListGrid(grid_);
    grid_->setColumnWidth(0, 260);
    connect(grid_, &QTableView::doubleClicked, this, &frmLookup::accept);
    connect(typesBox_, &QComboBox::currentTextChanged, this, &frmLookup::ShowType);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmLookup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typesBox_);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
    resize(480, 520);
    ShowType(typesBox_->currentText());
}

std::vector<std::string> frmLookup::LookupTypes(const esfile& file, const std::string& address) {
    std::vector<std::string> types;
    for (const std::string& t : Split(file.Template().GetVar("@TEXTLOOKUP", address), ','))
        if (const std::string_view trimmed = TrimSpaces(t); !trimmed.empty()) types.emplace_back(trimmed);
    return types;
}

void frmLookup::ShowType(const QString& type) {
    model_->clear();
    if (type.isEmpty()) return;
    const std::string t = type.toStdString();
    AddCategory(file_, t);
    for (const auto& m : file_.esMasterFiles()) {
        for (const esfile* open : openFiles_) {
            if (open && open != &file_ && KeysEqual(open->FileTitle, m.value.Name)) {
                AddCategory(*open, t);
                break;
            }
        }
    }
    if (progress_) progress_->DoneWaiting();
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
}

void frmLookup::AddCategory(const esfile& file, const std::string& type) {
    const auto* category = file.esRecArrayCatIndex().Item(type);
    if (!category) return;
    const std::size_t size = category->esRecArrayCatEntries.Count();
    const QString title = FromFileText(file.FileTitle);
    std::vector<TextTableModel::Row> rows;
    rows.reserve(size);
    std::size_t n = 0;
    for (const auto& e : category->esRecArrayCatEntries) {
        ++n;
        if (progress_ && n % 50 == 0)
            progress_->Waiting(100.0 * static_cast<double>(n) / static_cast<double>(size),
                               "Building lookup category list entry " + std::to_string(n) + " of " +
                                   std::to_string(size));
        const int i = e.value.IndexNumber;
        if (i < 0 || i >= static_cast<int>(file.Records().size())) continue;
        std::string_view id = file.Records()[static_cast<std::size_t>(i)].ID;
        if (!id.empty() && id.back() == '\0') id.remove_suffix(1);
        const QString shown = FromFileText(id);
        rows.push_back({{shown, title}, shown});
    }
    if (progress_) progress_->Waiting(-1, "Populating Grid ");
    model_->Append(std::move(rows));
}

void frmLookup::accept() {
    const QModelIndex current = grid_->currentIndex();
    result_ = current.isValid() ? model_->At(current.row()).key : QString();
    QDialog::accept();
}

} // namespace vellum::ui
