#pragma once

#include "model/KeyedCollection.h"

#include <string>
#include <string_view>

namespace vellum {

// One ticked entry: a whole record when SubRecordKey is empty, else one subrecord.
struct esCheckedEntry {
    std::string Key;
    std::string FileKey;
    std::string RecordKey;
    std::string SubRecordKey;
    // For the ID-change list: the record's ID before and after the user changed it.
    std::string OldID;
    std::string NewID;

    bool IsRecord() const { return SubRecordKey.empty(); }
};

// Ticked entries (and the look-up list of IDs read from .idx files). Duplicate keys and
// removals of absent keys are absorbed.
class esCheckedEntries : public KeyedCollection<esCheckedEntry> {
public:
    // The new entry, or the one already under `key`.
    esCheckedEntry& Add(const std::string& key, const std::string& fileKey,
                        const std::string& recordKey, const std::string& subRecordKey = {}) {
        if (esCheckedEntry* e = Find(key)) return *e;
        return *KeyedCollection<esCheckedEntry>::Add(
            key, esCheckedEntry{key, fileKey, recordKey, subRecordKey, {}, {}});
    }
    void AddExistingEntry(const esCheckedEntry& entry) {
        KeyedCollection<esCheckedEntry>::Add(entry.Key, entry);
    }
    bool GetChecked(std::string_view key) const { return Exists(key); }
    void Remove(std::string_view key) { KeyedCollection<esCheckedEntry>::Remove(key); }
};

} // namespace vellum
