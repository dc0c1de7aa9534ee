#include "ui/frmSearch.h"

#include "ui/SearchPanel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellum::ui {

frmSearch::frmSearch(const Config& templ, QWidget* parent)
    : QDialog(parent), panel_(new SearchPanel(templ)), find_(new QPushButton(tr("&Find Next"))) {
    setWindowTitle(tr("Find"));
    find_->setObjectName("cmdFind");
    find_->setDefault(true);
    find_->setEnabled(false);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName("cmdCancel");
    connect(panel_, &SearchPanel::InputChanged, this, [this] { find_->setEnabled(panel_->CanFind()); });
    connect(find_, &QPushButton::clicked, this, [this] { emit FindRequested(panel_->Criteria()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(find_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(panel_, 1);
    layout->addLayout(buttons);
}

} // namespace vellum::ui
