#include "ui/frmLookup.h"

#include "model/Progress.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/ListedID.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TextTableModel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

frmLookup::frmLookup(esfile& file, Files files, std::vector<std::string> types, const QString& current,
                     Progress* progress, QWidget* parent)
    : QDialog(parent), file_(file), files_(std::move(files)), current_(current), progress_(progress),
      model_(new TextTableModel({tr("ID"), tr("File")}, this)), grid_(new QTableView), typesBox_(new QComboBox),
      notice_(new QLabel), loadMasters_(new QPushButton(tr("Load as Support Files"))) {
    setWindowTitle(tr("Lookup"));
    if (files_.open)
        open_ = files_.open();
    for (const std::string& t : types) {
        const QString type = QString::fromStdString(t);
        typesBox_->addItem(CommandIcon(type), type);
    }
    grid_->setModel(model_);
    ConfigureListGrid(grid_);
    grid_->setColumnWidth(0, 260);
    connect(grid_, &QTableView::doubleClicked, this, &frmLookup::accept);

    notice_->setObjectName("MastersNotice");
    notice_->setWordWrap(true);
    loadMasters_->setObjectName("LoadMasters");
    connect(loadMasters_, &QPushButton::clicked, this, &frmLookup::LoadMasters);
    auto* noticeRow = new QHBoxLayout;
    noticeRow->addWidget(notice_, 1);
    noticeRow->addWidget(loadMasters_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmLookup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typesBox_);
    layout->addWidget(grid_, 1);
    layout->addLayout(noticeRow);
    layout->addWidget(buttons);
    resize(480, 520);
    ShowNotice();
    typesBox_->setCurrentText(TypeHolding(ToFileText(current_)));
    ShowType(typesBox_->currentText());
    connect(typesBox_, &QComboBox::currentTextChanged, this, &frmLookup::ShowType);
    // The arrow keys pick an ID, Return takes it.
    grid_->setFocus();
}

std::vector<std::string> frmLookup::LookupTypes(const esfile& file, const std::string& address) {
    std::vector<std::string> types;
    for (const std::string& t : Split(file.Template().GetVar("@TEXTLOOKUP", address), ','))
        if (const std::string_view trimmed = TrimSpaces(t); !trimmed.empty()) types.emplace_back(trimmed);
    return types;
}

const esfile* frmLookup::OpenMaster(const std::string& name) const {
    for (const esfile* open : open_)
        if (open && open != &file_ && KeysEqual(open->FileTitle, name)) return open;
    return nullptr;
}

std::vector<std::string> frmLookup::MissingMasters() const {
    std::vector<std::string> missing;
    for (const auto& m : file_.esMasterFiles())
        if (!OpenMaster(m.value.Name)) missing.push_back(m.value.Name);
    return missing;
}

void frmLookup::ShowNotice() {
    const std::vector<std::string> missing = MissingMasters();
    std::string names;
    for (const std::string& n : missing) names += (names.empty() ? "" : ", ") + n;
    notice_->setText(FromFileText((missing.size() == 1 ? "The master file " + names + " is not open: its records"
                                                        : "The master files " + names + " are not open: their records") +
                                  " are not listed."));
    notice_->setVisible(!missing.empty());
    loadMasters_->setVisible(!missing.empty() && files_.loadMasters);
}

void frmLookup::LoadMasters() {
    if (!files_.loadMasters) return;
    files_.loadMasters(MissingMasters());
    if (files_.open) open_ = files_.open();
    ShowNotice();
    ShowType(typesBox_->currentText());
    grid_->setFocus(); // the button that had it is gone
}

QString frmLookup::TypeHolding(const std::string& current) const {
    if (!current.empty())
        for (int i = 0; i < typesBox_->count(); ++i) {
            const std::string type = typesBox_->itemText(i).toStdString();
            auto holds = [&](const esfile& f) {
                const auto* cat = f.esRecArrayCatIndex().Item(type);
                return cat && cat->esRecIDIndex.Find(current);
            };
            if (holds(file_)) return typesBox_->itemText(i);
            for (const auto& m : file_.esMasterFiles())
                if (const esfile* master = OpenMaster(m.value.Name); master && holds(*master))
                    return typesBox_->itemText(i);
        }
    return typesBox_->itemText(0);
}

void frmLookup::ShowType(const QString& type) {
    model_->clear();
    if (type.isEmpty()) return;
    const std::string t = type.toStdString();
    AddCategory(file_, t);
    for (const auto& m : file_.esMasterFiles())
        if (const esfile* master = OpenMaster(m.value.Name)) AddCategory(*master, t);
    if (progress_) progress_->DoneWaiting();
    SelectCurrent();
}

void frmLookup::SelectCurrent() {
    if (model_->rowCount() == 0) return;
    int row = 0;
    if (!current_.isEmpty())
        for (int i = 0; i < model_->rowCount(); ++i)
            if (model_->At(i).key.compare(current_, Qt::CaseInsensitive) == 0) {
                row = i;
                break;
            }
    grid_->setCurrentIndex(model_->index(row, 0));
    grid_->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtCenter);
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
        const ListedID listed = ListedID::Of(type, id);
        rows.push_back({{FromFileText(listed.caption), title}, FromFileText(listed.name)});
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
