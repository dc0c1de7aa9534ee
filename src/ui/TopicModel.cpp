#include "ui/TopicModel.h"

#include "ui/LegacyText.h"

namespace vellum::ui {

TopicModel::TopicModel(QObject* parent)
    : GridModel({tr("#"), tr("ID"), tr("Speaker"), tr("Conditions"), tr("Text")}, parent) {}

void TopicModel::SetTopic(const esfile* file, const std::string& topicKey) {
    beginResetModel();
    responses_ = file ? std::make_unique<TopicResponses>(*file, topicKey) : nullptr;
    topicKey_ = file ? topicKey : std::string();
    endResetModel();
}

QString TopicModel::KeyOf(int row) const {
    if (!responses_ || row < 0 || row >= RowTotal()) return {};
    return QString::fromStdString(responses_->Link(static_cast<std::size_t>(row)).key);
}

int TopicModel::RowOf(const std::string& recordKey) const { return responses_ ? responses_->RowOf(recordKey) : -1; }

QVariant TopicModel::data(const QModelIndex& index, int role) const {
    if (!HasCell(index) || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (index.column()) {
    case kNumber: return role == Qt::DisplayRole ? QVariant(index.row() + 1) : QVariant();
    case kId: return FromFileText(responses_->Link(row).id);
    case kSpeaker: return FromFileText(responses_->At(row).speaker);
    case kConditions: return FromFileText(responses_->At(row).conditions);
    case kText: return FromFileText(responses_->At(row).text);
    default: return {};
    }
}

} // namespace vellum::ui
