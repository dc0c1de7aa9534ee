#include "ui/frmLoadOrder.h"

#include "model/Prompt.h"
#include "model/Text.h"
#include "ui/FileDialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellum::ui {

frmLoadOrder::frmLoadOrder(std::optional<LoadOrder> order, QWidget* parent)
    : QDialog(parent), order_(std::move(order)), source_(new QLabel), list_(new QListWidget),
      other_(new QPushButton(tr("&Other Configuration..."))), ok_(nullptr) {
    setWindowTitle(tr("Open Load Order"));
    list_->setObjectName("LoadOrder");
    other_->setObjectName("Other");
    source_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(other_, QDialogButtonBox::ActionRole);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source_);
    layout->addWidget(list_, 1);
    layout->addWidget(new QLabel(tr("The selected file opens for editing; the others open as support files.")));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(other_, &QPushButton::clicked, this, [this] {
        const QStringList chosen = AskForFiles(
            this, {FileDialogRequest::OpenOne, tr("Game Configuration"), QString(),
                   tr("Game Configuration (openmw.cfg Morrowind.ini morrowind.ini);;All Files (*)")});
        if (!chosen.isEmpty()) ReadFrom(chosen.front());
    });
    Fill();
    resize(520, 560);
}

bool frmLoadOrder::ReadFrom(const QString& file) {
    std::optional<LoadOrder> read = LoadOrder::Read(file.toStdString());
    if (!read) {
        CurrentPrompt().Message("The file " + file.toStdString() +
                                " names no content files of a load order (openmw.cfg's content= lines or "
                                "Morrowind.ini's [Game Files]).");
        return false;
    }
    order_ = std::move(read);
    Fill();
    return true;
}

int frmLoadOrder::Editable() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && order_ && (item->flags() & Qt::ItemIsEnabled) ? list_->row(item) : -1;
}

void frmLoadOrder::Fill() {
    list_->clear();
    if (!order_) {
        source_->setText(tr("No load order was found: neither OpenMW's openmw.cfg nor the game's Morrowind.ini "
                            "names content files. Read another configuration file."));
        ok_->setEnabled(false);
        return;
    }
    source_->setText(tr("Load order of %1:").arg(QString::fromStdString(order_->source.string())));
    int editable = -1;
    for (std::size_t i = 0; i < order_->files.size(); ++i) {
        const LoadOrder::Entry& e = order_->files[i];
        auto* item = new QListWidgetItem(QString::fromStdString(e.name));
        if (e.path.empty()) {
            item->setText(tr("%1 (not found)").arg(item->text()));
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        } else {
            item->setToolTip(QString::fromStdString(e.path.string()));
            if (!EndsWithNoCase(e.name, ".esm")) editable = static_cast<int>(i);
        }
        list_->addItem(item);
    }
    if (editable >= 0) list_->setCurrentRow(editable);
    ok_->setEnabled(true);
}

} // namespace vellum::ui
