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
    openCat_ = openRec_ = -1;
    openRecordKey_.clear();
    catMarks_.clear();
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
    const bool parentMarked = catMarks_.Exists(c.type);
    for (const auto& e : entries->esRecArrayCatEntries) {
        const int position = e.value.IndexNumber;
        const std::string& id =
            position >= 0 && position < static_cast<int>(records.size()) ? records[position].ID : e.key;
        rows.push_back({UpperCopy(id), RecordNode{position, e.key}});
        if (parentMarked)
            SetRecordMark(e.key, true);
        if (progress && rows.size() % kRecordReportStep == 0)
            progress->Waiting(100.0 * rows.size() / total, "Building node " + e.key);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Sortable& a, const Sortable& b) { return a.id < b.id; });
    beginInsertRows(category, 0, static_cast<int>(rows.size()) - 1);
    c.records.reserve(rows.size());
    for (Sortable& s : rows)
        c.records.push_back(std::move(s.node));
    endInsertRows();
}

void RecordTreeModel::CloseOpenNodes() {
    if (openCat_ < 0)
        return;
    const QModelIndex record = index(openRec_, 0, index(openCat_, 0));
    if (!subrecords_.empty()) {
        beginRemoveRows(record, 0, static_cast<int>(subrecords_.size()) - 1);
        subrecords_.clear();
        endRemoveRows();
    }
    openCat_ = openRec_ = -1;
    openRecordKey_.clear();
}

QModelIndex RecordTreeModel::OpenRecord() const {
    return openCat_ < 0 ? QModelIndex() : index(openRec_, 0, index(openCat_, 0));
}

void RecordTreeModel::BuildSubrecords(const QModelIndex& record, Progress* progress) {
    if (!file_ || LevelOf(record) != kRecord || !record.isValid())
        return;
    if (record == OpenRecord())
        return;
    CloseOpenNodes();
    const RecordNode& r = categories_[record.parent().row()].records[record.row()];
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
    openRec_ = record.row();
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
    case kRecord: return categories_[index.internalId() - 1].records[index.row()].key;
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
    const auto& records = categories_[cat.row()].records;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (KeysEqual(records[i].key, recordKey))
            return index(static_cast<int>(i), 0, cat);
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
    const auto& rows = categories_[category.row()].records;
    if (rows.empty())
        return {};
    // Rows are sorted by upper-case ID, as BuildRecords left them.
    const std::string wanted = UpperCopy(id);
    int seen = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string at = SortId(rows[i]);
        if (at < wanted)
            continue;
        if (at == wanted && seen++ < nth)
            continue;
        return {static_cast<int>(i), at == wanted};
    }
    return {static_cast<int>(rows.size()) - 1, false};
}

int RecordTreeModel::SameIdBefore(const QModelIndex& record) const {
    if (!file_ || LevelOf(record) != kRecord || !record.isValid())
        return 0;
    const auto& rows = categories_[record.parent().row()].records;
    const std::string id = SortId(rows[record.row()]);
    int n = 0;
    for (int i = record.row() - 1; i >= 0 && SortId(rows[i]) == id; --i)
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
