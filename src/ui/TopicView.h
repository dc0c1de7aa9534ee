#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QTableView;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class TopicModel;

// Beside the form while a dialogue topic or one of its responses is selected: the topic's
// responses in the order the game tests them. Choosing a row opens that response.
class TopicView : public QWidget {
    Q_OBJECT
public:
    explicit TopicView(QWidget* parent = nullptr);

    // Lists topic `topicKey` of `file` with response `currentKey` selected; the list is read
    // again when `reread` is set or the topic is another.
    void ShowTopic(const esfile* file, const std::string& topicKey, const std::string& topicId,
                   const std::string& currentKey, bool reread);
    void Clear();

    TopicModel* Model() const { return model_; }
    QTableView* Table() const { return table_; }

signals:
    void responseChosen(const QString& recordKey);

private:
    void Select(const std::string& recordKey);

    QLabel* caption_;
    QTableView* table_;
    TopicModel* model_;
    const esfile* file_ = nullptr;
    bool selecting_ = false;
};

} // namespace vellum::ui
