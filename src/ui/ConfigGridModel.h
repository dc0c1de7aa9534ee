#pragma once

#include "ui/GridModel.h"

#include <string>
#include <vector>

namespace vellum {
class Config;
}

namespace vellum::ui {

// A configuration file as the configuration editor's two-column grid: a heading row per group
// (its first cell reads "Group Name", its second the group's name) followed by the group's
// instructions ("@" before the name) and variables. Rows are saved top to bottom, so their
// order is the file's order.
class ConfigGridModel : public GridModel {
    Q_OBJECT
public:
    struct Row {
        bool heading = false;
        std::string name;  // entry name ("@Name" for an instruction); the group's name on a heading
        std::string value; // entry value
    };

    explicit ConfigGridModel(QObject* parent = nullptr);

    void Load(const Config& config);
    void Build(Config& config) const; // clears `config` first
    void clear();

    const std::vector<Row>& Rows() const { return rows_; }
    bool IsHeading(int row) const;
    std::string GroupOf(int row) const; // name of the heading at or above the row
    int HeadingOf(int row) const;       // -1 above the first heading
    int BlockEnd(int heading) const;    // first row after the group's rows
    // For a property line of a subrecord group: its type and size alone, then the same followed
    // by each list of names that suits the type ("LONG,4,Skill" for every "[@VALUES.Skill]").
    // Empty for any other row.
    std::vector<std::string> ValueChoices(int row) const;

    // Each returns the row that holds the moved or new entry, or -1 when nothing changed.
    int AddGroup(const std::string& name);
    int InsertGroup();               // "@NewGroup<n>" at the end
    int InsertVariable(int row);     // at the end of the row's group
    int MoveUp(int row);
    int MoveDown(int row);
    void Delete(int row);            // a heading takes its whole group with it

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void Edited(); // any change made by the user

protected:
    int RowTotal() const override { return static_cast<int>(rows_.size()); }
    Qt::ItemFlags CellFlags(const QModelIndex& index) const override;

private:
    bool NameInUse(const std::string& upperName, bool headings, int groupRow) const;
    int MoveBlock(int first, int end, int to); // rows [first, end) before row `to`

    std::vector<Row> rows_;
};

} // namespace vellum::ui
