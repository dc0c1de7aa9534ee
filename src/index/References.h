#pragma once

#include "index/MentionKind.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class esFiles;
class esfile;
class Progress;
struct esTextLookup;

// One row of the references browser: a record the browsed record refers to (ancestor), one
// that refers to it (descendant), or one whose text names its ID (mention), and the property
// that holds the reference (the browsed record's for an ancestor, the other's otherwise).
struct ReferenceRow {
    enum Kind { Ancestor = 0, Descendant = 1, Mention = 2 };
    Kind Type = Ancestor;
    std::string FileKey; // the related record's file
    int RecordIndex = 0; // its position when browsed: rows are found again by type and ID
    std::string RecordKey;
    std::string RecordType;
    std::string ID;
    std::string SubrecordType; // template subrecord type
    std::string PropertyName;
    MentionKind How = MentionKind::None; // for a mention
};

// The records a reference names: `value` looked up in the ID index of each of the lookup's
// target types that the file holds, in the lookup's order.
std::vector<int> ReferencedRecords(const esfile& file, const esTextLookup& lookup, std::string_view value);

// Position of the first record with `id` (categories in index order), -1 when none.
int FindRecordByID(const esfile& file, std::string_view id);
// Position of the record of `type` with `id`, or (no ID) with `recordKey`; -1 when gone.
int FindRecord(const esfile& file, std::string_view type, std::string_view id, std::string_view recordKey = {});

// Ancestors by decoding the record once and looking its references up in the ID indexes of its
// file; descendants by one pass over the current reference index of its file and of every open
// file that depends on it; mentions by the text that names its ID in those files. A record
// packed before is packed again unless the file leaves records unpacked.
std::vector<ReferenceRow> BrowseReferences(esFiles& files, const std::string& fileKey, int index, Progress* progress);

} // namespace vellum
