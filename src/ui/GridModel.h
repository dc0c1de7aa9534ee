#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace vellum::ui {

// A flat grid with headed columns, the common part of the tool windows' table models: no
// children, one column per heading, every existing cell enabled and selectable. A subclass says
// how many rows it has and what more a cell allows.
class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(QStringList headings, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    virtual int RowTotal() const = 0;
    virtual bool HasCell(const QModelIndex& index) const { return index.isValid() && index.row() < RowTotal(); }
    virtual Qt::ItemFlags CellFlags(const QModelIndex&) const { return Qt::NoItemFlags; }

private:
    QStringList headings_;
};

} // namespace vellum::ui
