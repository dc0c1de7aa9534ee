#include "ui/RecordTreeModel.h"

#include "model/Progress.h"
#include "index/esCheckedEntries.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/SubrecordCaption.h"
#include "ui/Icons.h"
#include "ui/LegacyText.h"
#include "ui/RecordCategories.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <unordered_set>

namespace vellum::ui {
namespace {

constexpr quintptr kSubrecordId = ~quintptr(0);
constexpr int kRecordReportStep = 31;
constexpr int kSubrecordReportStep = 44;

std::string UpperCopy(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return u;
}

} // namespace

RecordTreeModel::RecordTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void RecordTreeModel::SetFile(esfile* file, const std::string& fileKey, esCheckedEntries* checked,
                              bool viewRecordTypes) {
    beginResetModel();
    file_ = file;
    fileKey_ = fileKey;
    checked_ = checked;
    viewRecordTypes_ = viewRecordTypes;
    categories_.clear();
    subrecords_.clear();
    openCat_ = openAt_ = -1;
    openRecordKey_.clear();
    catMarks_.clear();
    filter_ = RecordFilter();
    filtered_ = false;
    if (file_) {
        const auto& index = file_->esRecArrayCatIndex();
        std::unordered_set<std::string> listed;
        for (const RecordCategory& c : RecordCategories()) {
            listed.insert(std::string(c.type));
            CategoryNode node{std::string(c.type), std::string(c.caption)};
            if (const auto* entries = index.Item(c.type))
                node.count = entries->esRecArrayCatEntries.Count();
            categories_.push_back(std::move(node));
        }
        for (const auto& entry : index) {
            if (listed.count(UpperCopy(entry.key)))
                continue;
            CategoryNode node{entry.key, "@Unknown Type " + entry.key, true};
            node.count = entry.value.esRecArrayCatEntries.Count();
            categories_.push_back(std::move(node));
        }
        const Config& templ = file_->Template();
        std::erase_if(categories_, [&](const CategoryNode& c) { return templ.InstrExists(c.type, "Hidden"); });
        for (CategoryNode& c : categories_)
            c.shownCount = c.count;
    }
    endResetModel();
}

void RecordTreeModel::SetViewRecordTypes(bool on) {
    if (on == viewRecordTypes_)
        return;
    viewRecordTypes_ = on;
    if (!categories_.empty())
        emit dataChanged(index(0, 0), index(static_cast<int>(categories_.size()) - 1, 0), {Qt::DisplayRole});
}

bool RecordTreeModel::RecordsBuilt(const QModelIndex& category) const {
    return LevelOf(category) == kCategory && category.isValid() && categories_[category.row()].built;
}

void RecordTreeModel::BuildRecords(const QModelIndex& category, Progress* progress) {
    if (!file_ || !category.isValid() || LevelOf(category) != kCategory)
        return;
    CategoryNode& c = categories_[category.row()];
    if (c.built)
        return;
    c.built = true;
    const auto* entries = file_->esRecArrayCatIndex().Item(c.type);
    if (!entries || entries->esRecArrayCatEntries.Count() == 0)
        return;
    const auto& records = file_->Records();
    struct Sortable {
        std::string id;
        RecordNode node;
    };
    std::vector<Sortable> rows;
    rows.reserve(entries->esRecArrayCatEntries.Count());
    const std::size_t total = entries->esRecArrayCatEntries.Count();
    for (const auto& e : entries->esRecArrayCatEntries) {
        const int position = e.value.IndexNumber;
        const std::string& id =
            position >= 0 && position < static_cast<int>(records.size()) ? records[position].ID : e.key;
        rows.push_back({UpperCopy(id), RecordNode{position, e.key}});
        if (progress && rows.size() % kRecordReportStep == 0)
            progress->Waiting(100.0 * rows.size() / total, "Building node " + e.key);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Sortable& a, const Sortable& b) { return a.id < b.id; });
    std::vector<RecordNode> built;
    built.reserve(rows.size());
    for (Sortable& s : rows)
        built.push_back(std::move(s.node));
    // The rows appear in one insertion, so the view lays the category out once.
    CategoryNode sized;
    sized.records = std::move(built);
    Refilter(sized);
    if (RowCount(sized) == 0) {
        c.records = std::move(sized.records);
        c.shown = std::move(sized.shown);
        return;
    }
    beginInsertRows(category, 0, RowCount(sized) - 1);
    c.records = std::move(sized.records);
    c.shown = std::move(sized.shown);
    endInsertRows();
}

int RecordTreeModel::RowCount(const CategoryNode& c) const {
    return static_cast<int>(filtered_ ? c.shown.size() : c.records.size());
}

const RecordTreeModel::RecordNode& RecordTreeModel::RecordAt(const CategoryNode& c, int row) const {
    return c.records[static_cast<std::size_t>(PlaceOf(c, row))];
}

int RecordTreeModel::RowOf(const CategoryNode& c, int place) const {
    if (!filtered_)
        return place;
    const auto it = std::lower_bound(c.shown.begin(), c.shown.end(), place);
    return it != c.shown.end() && *it == place ? static_cast<int>(it - c.shown.begin()) : -1;
}

// Rows of a built category, the count of any; `shown` stays in the order of `records`.
void RecordTreeModel::Refilter(CategoryNode& c) {
    c.shown.clear();
    if (!filtered_) {
        c.shownCount = c.count;
        return;
    }
    if (!c.built && c.records.empty()) {
        c.shownCount = file_ ? filter_.Count(*file_, c.type) : 0;
        return;
    }
    for (std::size_t i = 0; i < c.records.size(); ++i)
        if (filter_.Keeps(*file_, c.records[i].position))
            c.shown.push_back(static_cast<int>(i));
    c.shownCount = c.shown.size();
}

void RecordTreeModel::SetFilter(RecordFilter filter) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> places; // of the record rows among them
    places.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        places.push_back(LevelOf(i) == kRecord ? PlaceOf(categories_[i.internalId() - 1], i.row()) : -1);
    filter_ = std::move(filter);
    filtered_ = filter_.Active();
    for (CategoryNode& c : categories_)
        Refilter(c);
    if (openCat_ >= 0 && RowOf(categories_[openCat_], openAt_) < 0) {
        subrecords_.clear();
        openCat_ = openAt_ = -1;
        openRecordKey_.clear();
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const QModelIndex& i = before[k];
        switch (LevelOf(i)) {
        case kCategory: after.push_back(i); break;
        case kRecord: {
            const int row = RowOf(categories_[i.internalId() - 1], places[static_cast<std::size_t>(k)]);
            after.push_back(row < 0 ? QModelIndex() : createIndex(row, 0, i.internalId()));
            break;
        }
        case kSubrecord: after.push_back(openCat_ >= 0 ? i : QModelIndex()); break;
        }
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

std::size_t RecordTreeModel::ShownRecords() const {
    std::size_t n = 0;
    for (const CategoryNode& c : categories_)
        n += c.shownCount;
    return n;
}

std::size_t RecordTreeModel::TotalRecords() const {
    std::size_t n = 0;
    for (const CategoryNode& c : categories_)
        n += c.count;
    return n;
}

std::size_t RecordTreeModel::TickShown(const QModelIndex& category) {
    if (!file_ || LevelOf(category) != kCategory || !category.isValid())
        return 0;
    const auto* entries = file_->esRecArrayCatIndex().Item(categories_[category.row()].type);
    std::size_t ticked = 0;
    if (entries)
        for (const auto& e : entries->esRecArrayCatEntries)
            if (!filtered_ || filter_.Keeps(*file_, e.value.IndexNumber)) {
                SetRecordMark(e.key, true);
                ++ticked;
            }
    return ticked;
}

void RecordTreeModel::CloseOpenNodes() {
    if (openCat_ < 0)
        return;
    const QModelIndex record = OpenRecord();
    if (!subrecords_.empty()) {
        beginRemoveRows(record, 0, static_cast<int>(subrecords_.size()) - 1);
        subrecords_.clear();
        endRemoveRows();
    }
    openCat_ = openAt_ = -1;
    openRecordKey_.clear();
}

QModelIndex RecordTreeModel::OpenRecord() const {
    return openCat_ < 0 ? QModelIndex() : index(RowOf(categories_[openCat_], openAt_), 0, index(openCat_, 0));
}

void RecordTreeModel::BuildSubrecords(const QModelIndex& record, Progress* progress) {
    if (!file_ || LevelOf(record) != kRecord || !record.isValid())
        return;
    if (record == OpenRecord())
        return;
    CloseOpenNodes();
    const RecordNode& r = RecordAt(categories_[record.parent().row()], record.row());
    RecordEntry& entry = file_->Rec(r.key);
    if (entry.Packed || !entry.SubRecords)
        file_->UnPackRecord(r.key);
    std::vector<SubrecordNode> subs;
    if (entry.SubRecords) {
        const bool parentMarked = checked_ && checked_->GetChecked(r.key);
        const Config& templ = file_->Template();
        bool band = false;
        std::string previous;
        const std::size_t total = entry.SubRecords->Count();
        for (const auto& e : *entry.SubRecords) {
            const std::string name = e.value.Name.substr(0, 4);
            if (!subs.empty() && name != previous)
                band = !band;
            previous = name;
            subs.push_back({e.key, SubrecordCaption(templ, entry.Name, e.value.Name), e.value.Requirement, band});
            if (parentMarked)
                SetSubrecordMark(r.key, e.key, true);
            if (progress && subs.size() % kSubrecordReportStep == 0)
                progress->Waiting(100.0 * subs.size() / total, "Building node " + e.key);
        }
    }
    openCat_ = record.parent().row();
    openAt_ = PlaceOf(categories_[openCat_], record.row());
    openRecordKey_ = r.key;
    if (subs.empty())
        return;
    beginInsertRows(record, 0, static_cast<int>(subs.size()) - 1);
    subrecords_ = std::move(subs);
    endInsertRows();
}

RecordTreeModel::Level RecordTreeModel::LevelOf(const QModelIndex& index) {
    if (!index.isValid() || index.internalId() == 0)
        return kCategory;
    return index.internalId() == kSubrecordId ? kSubrecord : kRecord;
}

std::string RecordTreeModel::KeyOf(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    switch (LevelOf(index)) {
    case kCategory: return categories_[index.row()].type;
    case kRecord: return RecordAt(categories_[index.internalId() - 1], index.row()).key;
    case kSubrecord: return subrecords_[index.row()].key;
    }
    return {};
}

std::string RecordTreeModel::MarkedKeyOf(const QModelIndex& index) const {
    if (LevelOf(index) == kSubrecord)
        return openRecordKey_ + "." + KeyOf(index);
    return KeyOf(index);
}

QModelIndex RecordTreeModel::CategoryIndex(std::string_view type) const {
    for (std::size_t i = 0; i < categories_.size(); ++i)
        if (KeysEqual(categories_[i].type, type))
            return index(static_cast<int>(i), 0);
    return {};
}

QModelIndex RecordTreeModel::RecordIndex(std::string_view recordKey) const {
    if (!file_)
        return {};
    const RecordEntry* entry = nullptr;
    try {
        entry = &file_->Rec(std::string(recordKey));
    } catch (const std::exception&) {
        return {};
    }
    const QModelIndex cat = CategoryIndex(entry->CatKey());
    if (!cat.isValid())
        return {};
    const CategoryNode& c = categories_[cat.row()];
    for (int row = 0; row < RowCount(c); ++row)
        if (KeysEqual(RecordAt(c, row).key, recordKey))
            return index(row, 0, cat);
    return {};
}

QModelIndex RecordTreeModel::SubrecordIndex(std::string_view subrecordKey) const {
    const QModelIndex record = OpenRecord();
    for (std::size_t i = 0; i < subrecords_.size(); ++i)
        if (KeysEqual(subrecords_[i].key, subrecordKey))
            return index(static_cast<int>(i), 0, record);
    return {};
}

std::string RecordTreeModel::SortId(const RecordNode& r) const {
    const auto& records = file_->Records();
    return UpperCopy(r.position >= 0 && r.position < static_cast<int>(records.size()) ? records[r.position].ID
                                                                                        : r.key);
}

RecordTreeModel::Nearest RecordTreeModel::NearestRecord(const QModelIndex& category, std::string_view id,
                                                        int nth) const {
    if (!file_ || !category.isValid() || LevelOf(category) != kCategory)
        return {};
    const CategoryNode& c = categories_[category.row()];
    const int rows = RowCount(c);
    if (rows == 0)
        return {};
    // Rows are sorted by upper-case ID, as BuildRecords left them.
    const std::string wanted = UpperCopy(id);
    int seen = 0;
    for (int row = 0; row < rows; ++row) {
        const std::string at = SortId(RecordAt(c, row));
        if (at < wanted)
            continue;
        if (at == wanted && seen++ < nth)
            continue;
        return {row, at == wanted};
    }
    return {rows - 1, false};
}

int RecordTreeModel::SameIdBefore(const QModelIndex& record) const {
    if (!file_ || LevelOf(record) != kRecord || !record.isValid())
        return 0;
    const CategoryNode& c = categories_[record.parent().row()];
    const std::string id = SortId(RecordAt(c, record.row()));
    int n = 0;
    for (int row = record.row() - 1; row >= 0 && SortId(RecordAt(c, row)) == id; --row)
        ++n;
    return n;
}

void RecordTreeModel::ClearMarks() {
    catMarks_.clear();
    if (checked_)
        checked_->clear();
    if (!categories_.empty())
        emit dataChanged(index(0, 0), index(static_cast<int>(categories_.size()) - 1, 0), {Qt::CheckStateRole});
    emit layoutChanged(); // children of every level repaint their boxes
}

void RecordTreeModel::RecordCaptionChanged(std::string_view recordKey) {
    const QModelIndex i = RecordIndex(recordKey);
    if (i.isValid())
        emit dataChanged(i, i, {Qt::DisplayRole});
}

} // namespace vellum::ui
