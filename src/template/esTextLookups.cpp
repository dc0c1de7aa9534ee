#include "template/esTextLookups.h"

#include "model/Text.h"
#include "template/Config.h"

namespace vellum {

void estlRecordTypes::Add(const std::string& recordType, const std::string& subrecordType,
                          const std::string& idProperty) {
    estlRecordType* rt = KeyedCollection<estlRecordType>::Find(recordType);
    if (!rt) rt = KeyedCollection<estlRecordType>::Add(recordType, estlRecordType{recordType, {}});
    rt->estlSubrecordTypes.Add(subrecordType, idProperty);
}

const estlSubrecordType* estlRecordTypes::Find(std::string_view recordType,
                                               std::string_view subrecordType) const {
    const estlRecordType* rt = KeyedCollection<estlRecordType>::Find(recordType);
    if (!rt) return nullptr;
    return rt->estlSubrecordTypes.Find(subrecordType.substr(0, 4));
}

esTextLookup* esTextLookups::Add(const std::string& key, const std::string& recordType,
                                 const std::string& subrecordType,
                                 const std::string& propertyType) {
    esTextLookup* tl = KeyedCollection<esTextLookup>::Add(
        key, esTextLookup{recordType, subrecordType, propertyType, {}});
    if (tl) reverse_.Add(recordType, subrecordType, propertyType);
    return tl;
}

const esTextLookup* esTextLookups::Find(std::string_view recordType,
                                        std::string_view subrecordType,
                                        std::string_view property) const {
    std::string key;
    key.reserve(recordType.size() + subrecordType.size() + property.size() + 2);
    key.append(recordType).append(1, '.').append(subrecordType).append(1, '.').append(property);
    return KeyedCollection<esTextLookup>::Find(key);
}

void BuildTextLookupList(esTextLookups& list, const Config& templ) {
    list.clear();
    const Group* group = templ.FindGroup("@TEXTLOOKUP");
    if (!group) return;
    for (const auto& [name, var] : group->Variables) {
        std::vector<std::string> parts = Split(var.Name, '.');
        if (parts.size() < 3) continue;
        esTextLookup* tl = list.Add(var.Name, ToUpper(parts[0]), ToUpper(parts[1]), parts[2]);
        if (!tl || var.Value.empty()) continue;
        for (const std::string& type : Split(var.Value, ','))
            if (!tl->esLookupTypes.Add(type)) return; // a repeated type ends the rebuild
    }
}

} // namespace vellum
