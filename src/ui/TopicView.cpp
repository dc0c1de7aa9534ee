#include "ui/TopicView.h"

#include "ui/LegacyText.h"
#include "ui/ListGrid.h"
#include "ui/TopicModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace vellum::ui {

TopicView::TopicView(QWidget* parent)
    : QWidget(parent), caption_(new QLabel(this)), table_(new QTableView(this)), model_(new TopicModel(this)) {
    setObjectName("TopicView");
    table_->setObjectName("TopicResponses");
    table_->setModel(model_);
    ConfigureListGrid(table_);
    table_->setWordWrap(false);
    table_->setColumnWidth(TopicModel::kNumber, 40);
    table_->setColumnWidth(TopicModel::kId, 150);
    table_->setColumnWidth(TopicModel::kSpeaker, 170);
    table_->setColumnWidth(TopicModel::kConditions, 240);
    caption_->setStyleSheet("QLabel { font-weight: bold; padding: 2px; }");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(caption_);
    layout->addWidget(table_, 1);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!selecting_ && current.isValid())
                    emit responseChosen(model_->KeyOf(current.row()));
            });
}

void TopicView::ShowTopic(const esfile* file, const std::string& topicKey, const std::string& topicId,
                          const std::string& currentKey, bool reread) {
    if (reread || file != file_ || topicKey != model_->TopicKey()) {
        file_ = file;
        const bool keep = selecting_;
        selecting_ = true;
        model_->SetTopic(file, topicKey);
        selecting_ = keep;
        const int n = model_->rowCount();
        caption_->setText(FromFileText("Topic " + topicId) +
                          (n == 1 ? tr(": 1 response, in the order the game tests them")
                                  : tr(": %1 responses, in the order the game tests them").arg(n)));
    }
    Select(currentKey);
    show();
}

void TopicView::Clear() {
    hide();
    if (!file_)
        return; // cleared already: most selections are not dialogue
    file_ = nullptr;
    model_->SetTopic(nullptr, {});
}

void TopicView::Select(const std::string& recordKey) {
    selecting_ = true;
    const int row = model_->RowOf(recordKey);
    if (row >= 0) {
        table_->setCurrentIndex(model_->index(row, 0));
        table_->scrollTo(model_->index(row, 0));
    } else {
        table_->selectionModel()->clearCurrentIndex();
        table_->clearSelection();
        table_->scrollToTop();
    }
    selecting_ = false;
}

} // namespace vellum::ui
