#include "index/ChangeRecordID.h"

#include "model/Text.h"
#include "model/esfile.h"

namespace vellum {

bool ChangeRecordID(esfile& file, int index, const std::string& newID) {
    auto& records = file.Records();
    if (index <= 0 || index >= static_cast<int>(records.size()) || newID.empty()) return false;
    RecordEntry& r = records[static_cast<std::size_t>(index)];
    auto* cat = file.esRecArrayCatIndex().Item(r.Name);
    if (!cat || cat->esIDs.Count() != 1) return false;
    if (const esRecIDEntry* taken = cat->esRecIDIndex.Find(newID); taken && taken->IndexNumber != index)
        return false;
    const esID& where = cat->esIDs[0];
    const bool wasPacked = r.Packed;
    file.UnPackRecord(index);
    std::string key;
    for (const auto& e : *r.SubRecords)
        if (KeysEqual(e.value.Name, where.SubID)) {
            key = e.key;
            break;
        }
    if (key.empty() || !file.UnpackSubRecord(index, key)) return false;
    Properties& props = r.SubRecords->Item(key).Properties;
    Property* p = where.MultiPropID ? props.Find(where.PropID) : (props.Count() ? &props.Item(1) : nullptr);
    if (!p || p->DataType != PropertyType::Text) return false;
    p->SetValue(newID);
    file.PackSubRecord(index, key);
    const std::string oldID = r.ID;
    cat->esRecIDIndex.ChangeID(oldID, newID);
    r.PreviousID = oldID;
    r.ID = newID;
    file.Changed = true;
    if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(index);
    return true;
}

} // namespace vellum
