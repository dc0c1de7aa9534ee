#pragma once

#include "index/esRelIDIndex.h"
#include "index/esRelative.h"
#include "model/KeyedCollection.h"

#include <cstdint>
#include <string>

namespace vellum {

// The result of a relatives scan, in the order found, keyed by esRelative::Key.
class esRelatives : public KeyedCollection<esRelative> {
public:
    // A new entry with its keys set; nullptr when that entry is listed already.
    esRelative* Add(const std::string& id, const std::string& fileKey,
                    const std::string& recordKey, const std::string& subRecordKey = {}) {
        esRelative r;
        r.ID = id;
        r.FileKey = fileKey;
        r.RecordKey = recordKey;
        r.SubRecordKey = subRecordKey;
        r.Key = esRelative::MakeKey(fileKey, recordKey, subRecordKey);
        std::string key = r.Key;
        esRelative* added = KeyedCollection<esRelative>::Add(std::move(key), std::move(r));
        if (!added) return nullptr;
        (subRecordKey.empty() ? RecordCount : Subrecordcount)++;
        RecordsAdded = true;
        return added;
    }

    void clear() {
        KeyedCollection<esRelative>::clear();
        esRelIDIndex.clear();
        RecordCount = Subrecordcount = 0;
        RecordsAdded = false;
    }

    vellum::esRelIDIndex esRelIDIndex; // IDs of the generation being searched
    std::int32_t RecordCount = 0;
    std::int32_t Subrecordcount = 0;
    bool RecordsAdded = false;
};

} // namespace vellum
