#pragma once

#include "model/FileStatistics.h"
#include "model/KeyedCollection.h"
#include "model/RecordFilter.h"

#include <QAbstractItemModel>

#include <string>
#include <vector>

namespace vellum {
class esCheckedEntries;
class esfile;
class Progress;
} // namespace vellum

namespace vellum::ui {

// The record tree of one file over its category index: record-type categories at the root,
// a category's records (built when the category is first selected or expanded), and the
// subrecords of the one open record. No item object exists per record; rows are positions in
// small vectors of keys.
class RecordTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Level { kCategory = 0, kRecord = 1, kSubrecord = 2 };
    // ChangeRole: a record's RecordChange since the file was loaded (as int); a category's is
    // Changed when anything among its records was added, changed or deleted.
    enum Role { KeyRole = Qt::UserRole + 1, MarkedKeyRole, ChangeRole };

    explicit RecordTreeModel(QObject* parent = nullptr);

    // Shows `file` (nullptr: nothing) whose ticked entries are `checked`. Categories whose type
    // the template marks "Hidden" are left out; unlisted types the file holds get
    // "@Unknown Type " nodes.
    void SetFile(esfile* file, const std::string& fileKey, esCheckedEntries* checked, bool viewRecordTypes);
    esfile* File() const { return file_; }
    void SetViewRecordTypes(bool on);

    // Lazy children. BuildRecords does nothing when the category's records exist already.
    void BuildRecords(const QModelIndex& category, Progress* progress = nullptr);
    bool RecordsBuilt(const QModelIndex& category) const;
    // Opens `record`: the previous open record's subrecord rows go (the caller packs it),
    // one row per subrecord of the (unpacked) record appears.
    void BuildSubrecords(const QModelIndex& record, Progress* progress = nullptr);
    void CloseOpenNodes();
    QModelIndex OpenRecord() const;

    // Keeps the rows of the records `filter` keeps: a built category shows them, and every
    // category counts them, built or not ("(shown of total)"). The rows that stay keep their
    // selection and expansion; the open record's subrecords go when it is hidden (the caller
    // packs it first). A new file starts unfiltered.
    void SetFilter(RecordFilter filter);
    const RecordFilter& Filter() const { return filter_; }
    bool Filtered() const { return filtered_; }
    // Records the filter keeps in the file, and all of them (of the categories shown).
    std::size_t ShownRecords() const;
    std::size_t TotalRecords() const;
    // Ticks the records of the category that the filter keeps, built or not; how many.
    std::size_t TickShown(const QModelIndex& category);

    static Level LevelOf(const QModelIndex& index);
    std::string KeyOf(const QModelIndex& index) const;
    std::string MarkedKeyOf(const QModelIndex& index) const;
    QModelIndex CategoryIndex(std::string_view type) const;
    QModelIndex RecordIndex(std::string_view recordKey) const; // only once its category is built
    QModelIndex SubrecordIndex(std::string_view subrecordKey) const; // of the open record

    // Records by what outlives a change of keys, their ID and their place among the records of
    // that ID. Nearest: in a built category, the row of the `nth` record (from 0) with `id`
    // when there is one, else the row where such a record would sort (clamped to the last row);
    // -1 for an empty category.
    struct Nearest {
        int row = -1;
        bool exact = false;
    };
    Nearest NearestRecord(const QModelIndex& category, std::string_view id, int nth) const;
    int SameIdBefore(const QModelIndex& record) const;

    // Ticked records and subrecords live in the file's checked entries; ticked categories here.
    std::size_t MarkCount() const;
    bool IsMarked(const QModelIndex& index) const;
    void ClearMarks();
    void RecordCaptionChanged(std::string_view recordKey);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A check box was set or cleared by the user.
    void marksChanged();

private:
    struct RecordNode {
        int position;
        std::string key;
    };
    struct CategoryNode {
        std::string type;
        std::string caption;
        bool unknown = false;
        std::size_t count = 0;
        std::size_t shownCount = 0; // of the records the filter keeps
        bool built = false;
        std::vector<RecordNode> records{}; // all of them, sorted by ID
        std::vector<int> shown{};          // while filtered, the rows: places in `records`
    };
    struct SubrecordNode {
        std::string key;
        std::string caption;
        int requirement = 0;
        bool band = false;
    };

    // What changed since the load, shown on rows (RecordTreeModelChanges.cpp): an invalid
    // QVariant for the roles it leaves to data().
    QVariant ChangeData(const QModelIndex& index, int role) const;
    RecordChange ChangeOfRecord(const QModelIndex& index) const;
    const FileStatistics::TypeCount& ChangesIn(int category) const;

    int RowCount(const CategoryNode& c) const;
    const RecordNode& RecordAt(const CategoryNode& c, int row) const;
    int PlaceOf(const CategoryNode& c, int row) const { return filtered_ ? c.shown[row] : row; }
    int RowOf(const CategoryNode& c, int place) const; // -1 while the filter hides it
    void Refilter(CategoryNode& c);
    std::string SortId(const RecordNode& r) const;
    QString CategoryCaption(const CategoryNode& c) const;
    QString RecordCaption(const RecordNode& r) const;
    void SetMarkRecursive(const QModelIndex& index, bool on);
    void SetMark(const QModelIndex& index, bool on);
    void SetRecordMark(const std::string& recordKey, bool on);
    void SetSubrecordMark(const std::string& recordKey, const std::string& subKey, bool on);

    esfile* file_ = nullptr;
    bool viewRecordTypes_ = false;
    std::vector<CategoryNode> categories_;
    int openCat_ = -1, openAt_ = -1; // the open record's category and place in its `records`
    std::string openRecordKey_;
    std::vector<SubrecordNode> subrecords_;
    std::string fileKey_;
    esCheckedEntries* checked_ = nullptr;
    KeyedCollection<char> catMarks_;
    // Per category, counted again once the file's contents move on.
    mutable std::vector<FileStatistics::TypeCount> changeCounts_;
    mutable std::uint64_t countedSerial_ = 0, countedRevision_ = 0;
    mutable bool countedChanged_ = false;
    RecordFilter filter_;
    bool filtered_ = false;
};

} // namespace vellum::ui
