#include "ui/ConfigGridModel.h"

#include "model/Text.h"
#include "template/Config.h"
#include "template/ValueNames.h"

#include <QBrush>
#include <QFont>

#include <algorithm>

namespace vellum::ui {

ConfigGridModel::ConfigGridModel(QObject* parent) : GridModel({"Group", "Property"}, parent) {}

void ConfigGridModel::Load(const Config& config) {
    beginResetModel();
    rows_.clear();
    for (const auto& g : config.Groups()) {
        rows_.push_back({true, g.value.Name, {}});
        for (const auto& i : g.value.Instructions) rows_.push_back({false, "@" + i.value.Name, i.value.Value});
        for (const auto& v : g.value.Variables) rows_.push_back({false, v.value.Name, v.value.Value});
    }
    endResetModel();
}

void ConfigGridModel::Build(Config& config) const {
    config.clear();
    std::string group;
    for (const Row& r : rows_) {
        if (r.heading) {
            group = r.name;
            config.AddGroup(group);
        } else if (!group.empty() && !r.name.empty() && r.name.front() == '@') {
            if (Group* g = config.FindGroup(group)) g->Instructions.Add(r.name.substr(1), r.value);
        } else if (!group.empty()) {
            config.AddVar(group, r.name, r.value);
        }
    }
}

void ConfigGridModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

bool ConfigGridModel::IsHeading(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) && rows_[static_cast<std::size_t>(row)].heading;
}

int ConfigGridModel::HeadingOf(int row) const {
    for (int r = std::min(row, static_cast<int>(rows_.size()) - 1); r >= 0; --r)
        if (rows_[static_cast<std::size_t>(r)].heading) return r;
    return -1;
}

std::string ConfigGridModel::GroupOf(int row) const {
    const int h = HeadingOf(row);
    return h < 0 ? std::string() : rows_[static_cast<std::size_t>(h)].name;
}

int ConfigGridModel::BlockEnd(int heading) const {
    int r = heading + 1;
    while (r < static_cast<int>(rows_.size()) && !IsHeading(r)) ++r;
    return r;
}

std::vector<std::string> ConfigGridModel::ValueChoices(int row) const {
    const std::string group = GroupOf(row);
    if (IsHeading(row) || row < 0 || row >= static_cast<int>(rows_.size()) || group.empty() || group[0] == '@' ||
        group.find('.') == std::string::npos)
        return {};
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.name.empty() || r.name[0] == '@') return {};
    Variable line{r.name, r.value};
    const std::string type = ToUpper(TrimSpaces(line.Value1()));
    const char* prefix = type == "BITFIELD" ? "@FLAGS."
                         : type == "SHORT" || type == "LONG" || type == "SIGNED" || type == "LONG64" || type == "STRING"
                             ? "@VALUES."
                             : nullptr;
    if (!prefix) return {};
    const std::string plain(TrimSpaces(line.Value1()));
    std::string size(TrimSpaces(line.Value2()));
    std::vector<std::string> out{size.empty() ? plain : plain + "," + size};
    // A third part needs a second: the size the type fixes anyway, else "to the end" (0).
    if (size.empty()) size = type == "SHORT" ? "2" : type == "LONG64" ? "8" : "0";
    const std::size_t skip = std::string_view(prefix).size();
    const bool number = type != "STRING" && type != "BITFIELD";
    for (int h = 0; h < static_cast<int>(rows_.size()); ++h) {
        const std::string& name = rows_[static_cast<std::size_t>(h)].name;
        if (!IsHeading(h) || !StartsWithNoCase(name, prefix) || name.size() <= skip) continue;
        bool fits = true; // a number takes only lists of numbers
        for (int e = h + 1; number && e < BlockEnd(h); ++e)
            fits = fits && ValueNames::ParseNumber(rows_[static_cast<std::size_t>(e)].name).has_value();
        if (fits) out.push_back(plain + "," + size + "," + name.substr(skip));
    }
    return out;
}

bool ConfigGridModel::NameInUse(const std::string& upperName, bool headings, int groupRow) const {
    const int first = headings ? 0 : groupRow + 1;
    const int end = headings ? static_cast<int>(rows_.size()) : BlockEnd(groupRow);
    for (int r = first; r < end; ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        if (row.heading == headings && ToUpper(row.name) == upperName) return true;
    }
    return false;
}

int ConfigGridModel::AddGroup(const std::string& name) {
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back({true, name, {}});
    endInsertRows();
    emit Edited();
    return row;
}

int ConfigGridModel::InsertGroup() {
    int n = 1;
    while (NameInUse("@NEWGROUP" + std::to_string(n), true, 0)) ++n;
    return AddGroup("@NewGroup" + std::to_string(n));
}

int ConfigGridModel::InsertVariable(int row) {
    const int heading = HeadingOf(row);
    if (heading < 0) return -1;
    int n = 1;
    while (NameInUse("NEWVARIABLE" + std::to_string(n), false, heading)) ++n;
    const int at = BlockEnd(heading);
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, Row{false, "NewVariable" + std::to_string(n), {}});
    endInsertRows();
    emit Edited();
    return at;
}

int ConfigGridModel::MoveBlock(int first, int end, int to) {
    beginMoveRows({}, first, end - 1, {}, to);
    auto b = rows_.begin();
    int start;
    if (to < first) {
        std::rotate(b + to, b + first, b + end);
        start = to;
    } else {
        std::rotate(b + first, b + end, b + to);
        start = to - (end - first);
    }
    endMoveRows();
    emit Edited();
    return start;
}

int ConfigGridModel::MoveUp(int row) {
    if (row <= 0 || row >= static_cast<int>(rows_.size())) return -1;
    if (IsHeading(row)) {
        const int previous = HeadingOf(row - 1);
        return previous < 0 ? -1 : MoveBlock(row, BlockEnd(row), previous);
    }
    if (row == 1 && IsHeading(0)) return -1; // entries stay below the first heading
    return MoveBlock(row, row + 1, row - 1);
}

int ConfigGridModel::MoveDown(int row) {
    const int size = static_cast<int>(rows_.size());
    if (row < 0 || row + 1 >= size) return -1;
    if (IsHeading(row)) {
        const int end = BlockEnd(row);
        return end >= size ? -1 : MoveBlock(row, end, BlockEnd(end));
    }
    MoveBlock(row + 1, row + 2, row);
    return row + 1;
}

void ConfigGridModel::Delete(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const int end = IsHeading(row) ? BlockEnd(row) : row + 1;
    beginRemoveRows({}, row, end - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + end);
    endRemoveRows();
    emit Edited();
}

QVariant ConfigGridModel::data(const QModelIndex& index, int role) const {
    if (!HasCell(index)) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (r.heading) return index.column() == 0 ? QStringLiteral("Group Name") : QString::fromStdString(r.name);
        return QString::fromStdString(index.column() == 0 ? r.name : r.value);
    case Qt::FontRole:
        if (r.heading) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::BackgroundRole:
        return r.heading ? QVariant(QBrush(QColor(0xD8, 0xE4, 0xF0))) : QVariant();
    default:
        return {};
    }
}

bool ConfigGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    Row& r = rows_[static_cast<std::size_t>(index.row())];
    std::string text = std::string(TrimSpaces(value.toString().toStdString()));
    std::string& target = r.heading || index.column() == 0 ? r.name : r.value;
    if (target == text) return false;
    if ((r.heading || index.column() == 0) && text.empty()) return false; // names stay non-empty
    target = std::move(text);
    emit dataChanged(index, index);
    emit Edited();
    return true;
}

Qt::ItemFlags ConfigGridModel::CellFlags(const QModelIndex& index) const {
    return IsHeading(index.row()) && index.column() == 0 ? Qt::NoItemFlags : Qt::ItemIsEditable;
}

} // namespace vellum::ui
