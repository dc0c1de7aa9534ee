#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class esfile;
class Progress;
class ReferenceIndexer;
struct esTextLookup;

// One row of the references browser: a record the browsed record refers to (ancestor) or one
// that refers to it (descendant), and the property that holds the reference (the browsed
// record's for an ancestor, the referring record's for a descendant).
struct ReferenceRow {
    enum Kind { Ancestor = 0, Descendant = 1 };
    Kind Type = Ancestor;
    int RecordIndex = 0; // the related record
    std::string RecordType;
    std::string ID;
    std::string SubrecordType; // template subrecord type
    std::string PropertyName;
};

// The records a reference names: `value` looked up in the ID index of each of the lookup's
// target types that the file holds, in the lookup's order.
std::vector<int> ReferencedRecords(const esfile& file, const esTextLookup& lookup, std::string_view value);

// Position of the first record with `id` (categories in index order), -1 when none.
int FindRecordByID(const esfile& file, std::string_view id);

// Ancestors by decoding the record once and looking its references up in the ID indexes;
// descendants by one pass over the file's reference index (none when it has no index).
// A record packed before is packed again unless the file leaves records unpacked.
std::vector<ReferenceRow> BrowseReferences(esfile& file, const ReferenceIndexer& indexer, int index,
                                           Progress* progress);

} // namespace vellum
