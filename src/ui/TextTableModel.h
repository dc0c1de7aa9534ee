#pragma once

#include "ui/GridModel.h"
#include <QIcon>
#include <QStringList>

#include <vector>

namespace vellum::ui {

// A read-only grid of texts with a key per row, for the result and list grids of the dialogs.
// Rows are appended in bulk so a view is told once.
class TextTableModel : public GridModel {
    Q_OBJECT
public:
    struct Row {
        QStringList cells{};
        QString key{}; // what the row stands for: a record key, an ID, a path...
        QIcon icon{};  // shown in the first column
        bool checked = false;
        bool checkable = false;
    };

    explicit TextTableModel(QStringList headers, QObject* parent = nullptr);

    void SetRows(std::vector<Row> rows);
    void Append(std::vector<Row> rows);
    void clear() { SetRows({}); }
    void MoveRow(int from, int to); // one row to another place
    const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    Row& At(int row) { return rows_.at(static_cast<std::size_t>(row)); }
    const std::vector<Row>& Rows() const { return rows_; }
    void SetCell(int row, int column, const QString& text);
    void SetCheckColumn(int column) { checkColumn_ = column; } // where ticks show, 0 by default

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void CheckToggled(int row, bool checked);

protected:
    int RowTotal() const override { return static_cast<int>(rows_.size()); }
    Qt::ItemFlags CellFlags(const QModelIndex& index) const override;

private:
    std::vector<Row> rows_;
    int checkColumn_ = 0;
};

} // namespace vellum::ui
