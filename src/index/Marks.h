#pragma once

#include "model/RecordRef.h"

#include <string>
#include <string_view>

namespace vellum {

class esfile;
class esCheckedEntries;
class Progress;
class ReferenceIndexBuilder;

// Marks of the transfer of marked entries, set on a file's records and subrecords. Without a
// subrecord key the whole record is meant; a subrecord mark unpacks a packed record first.

// Marks for deletion; a record whose type carries @PrecedesChildren takes its children along.
void MarkAsDeleted(esfile& file, RecordRef record, std::string_view subrecordKey = {});
void MarkForCopy(esfile& file, RecordRef record, std::string_view subrecordKey = {});
void UnMarkCopy(esfile& file, RecordRef record, std::string_view subrecordKey = {});
void SetRecordCopyLevel(esfile& file, RecordRef record, int level);
void SetParentRecord(esfile& file, RecordRef record, const std::string& parentKey);

// The child record type named by the type's @PrecedesChildren, empty when it has none.
std::string ChildTypeOf(const esfile& file, std::string_view recordType);

// Carries out the deletion marks: drops marked subrecords and records, closes the gaps
// (record keys keep their text), re-indexes, drops ticked entries that are gone, corrects the
// header's record count and the parents' child lists, and rebuilds the reference index.
// The header record is never deleted.
void DeleteMarked(esfile& file, Progress* progress, ReferenceIndexBuilder* indexer,
                  esCheckedEntries* ticked);
// Drops the ticked entries whose record or subrecord the file no longer holds.
void DropStaleTicks(const esfile& file, esCheckedEntries& ticked);

} // namespace vellum
