#pragma once

#include "index/TopicResponses.h"
#include "ui/GridModel.h"

#include <memory>

namespace vellum {
class esfile;
}

namespace vellum::ui {

// The responses of one dialogue topic in chain order: number, ID, speaker, conditions, text.
// A row is read from its record when the view first shows it.
class TopicModel : public GridModel {
    Q_OBJECT
public:
    enum Column { kNumber, kId, kSpeaker, kConditions, kText };

    explicit TopicModel(QObject* parent = nullptr);

    // Shows the topic `topicKey` of `file` (nullptr: nothing).
    void SetTopic(const esfile* file, const std::string& topicKey);
    const std::string& TopicKey() const { return topicKey_; }
    QString KeyOf(int row) const;
    int RowOf(const std::string& recordKey) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    int RowTotal() const override { return responses_ ? static_cast<int>(responses_->Count()) : 0; }

private:
    std::unique_ptr<TopicResponses> responses_;
    std::string topicKey_;
};

} // namespace vellum::ui
