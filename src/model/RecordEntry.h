#pragma once

#include "model/SharedBytes.h"
#include "model/SharedString.h"
#include "model/SparseText.h"
#include "model/SubHeaders.h"
#include "model/Subrecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vellum {

// One record of a file. Entries are values: copying one shares its data bytes (copy on
// write) and its subrecord collections, as the object fields of a record entry are shared.
struct RecordEntry {
    std::string Key;        // record type followed by the array position, e.g. "NPC_42"
    std::string ID;         // as GetID read it; empty when the type has none
    std::string Name;       // record type, four characters
    SparseText PreviousID;  // the ID before its last change
    SparseText Description;
    SparseText ParentKey;   // of the record this one follows
    SparseText ParentID;
    SharedString FileName;  // the file the record was read from, shared by its records
    SharedBytes Data;       // the raw record data while packed and loaded
    std::shared_ptr<vellum::Subrecords> SubRecords; // while unpacked (or kept by a pack)
    std::shared_ptr<vellum::SubHeaders> SubHeaders;
    std::vector<std::string> Children; // keys of the records that follow this parent
    std::int64_t Offset = 0; // 1-based position of the record header in that file
    std::int32_t Size = 0;
    std::int32_t Header1 = 0;
    std::int32_t Flags = 0;
    std::int32_t CopyLevel = 0;  // 0 unmarked, 1 or 2 marked for copying
    std::int32_t CopyMark = 0;   // 1 while marked for copying
    std::int32_t GroupCount = 0; // subrecord groups found by the last unpack
    // 1-based place among the records as the file was loaded, 0 for a record made since. Unlike
    // Key and Offset it stays with the slot when a paste replaces the record.
    std::int32_t Origin = 0;
    bool Packed = true;  // the contents are held only as raw bytes in Data
    bool Loaded = false; // Data holds the raw bytes
    bool Deleted = false;
    bool Marked = false;  // carried when marked entries compact the array
    bool Checked = false; // carried when marked entries compact the array
    bool Partial = false; // a clipboard record holding only some subrecords of its source
    bool Added = false;   // made since the file was read: saved after the last record of its type

    // The category key: the record type, under which the record is indexed.
    const std::string& CatKey() const { return Name; }
};

} // namespace vellum
