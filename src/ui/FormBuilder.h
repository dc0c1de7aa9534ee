#pragma once

#include "model/KeyedCollection.h"
#include "ui/esLLFormEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellum {
class esCheckedEntries;
class esfile;
struct Subrecord;
} // namespace vellum

namespace vellum::ui {

// What the form shows: the selected category, record or subrecord of a file.
struct FormSelection {
    std::string catKey, recordKey, subRecordKey;
};

// Builds the property form's entries from a file's selection and commits edited entries back
// into the records. Knows nothing of widgets.
class FormBuilder {
public:
    static constexpr std::size_t kPageSize = 128;

    explicit FormBuilder(esfile& file) : file_(file) {}

    // The entries `first` to `first + count` of the selection's form, before paging; Total()
    // then tells how many the whole form has. With nothing but a category selected and entries
    // marked, the marked entries are listed. Only the entries asked for are made, so that one
    // page of a record with thousands of fields costs one page.
    std::vector<esLLFormEntry> Build(const FormSelection& selection, const esCheckedEntries* marks = nullptr,
                                     std::size_t first = 0, std::size_t count = SIZE_MAX);
    std::size_t Total() const { return total_; }

    // Page `page` (from 0) of a form of `total` entries, from the entries built for it: a
    // previous-page button in front of pages after the first and a next-page button when more follow.
    static esLLFormEntries Page(std::vector<esLLFormEntry> pageEntries, int page, std::size_t total);
    static int PageCount(std::size_t entries);

    struct IdChange {
        std::string recordKey, oldID, newID;
    };
    struct CommitResult {
        bool changed = false;           // something was written into a record
        std::vector<IdChange> idChanges; // IDs changed in the ID index
        bool refused = false;           // an ID another record of the type holds went back
    };
    // Writes every changed data entry into its subrecord (packing it again), updates the ID
    // index for identity properties (an ID another record of the type holds is refused with a
    // message: the subrecord and the entry go back to the old ID) and marks the file changed.
    CommitResult Commit(esLLFormEntries& entries);

    // Form entry type for a decoded property.
    static FormEntryKind EntryTypeOf(const Property& p);

private:
    void AddRecordHeading(std::vector<esLLFormEntry>& out, const std::string& recordKey);
    void AddSubrecordEntries(std::vector<esLLFormEntry>& out, const std::string& recordKey, Subrecord& sub,
                             bool beginsGroup);
    bool IsIdentity(const std::string& recordType, const std::string& subType, const std::string& property) const;
    // Counts one entry; true when it is one of those wanted.
    bool Keep() {
        const std::size_t i = total_++;
        return i >= first_ && i - first_ < count_;
    }

    esfile& file_;
    std::size_t first_ = 0, count_ = SIZE_MAX, total_ = 0;
};

} // namespace vellum::ui
