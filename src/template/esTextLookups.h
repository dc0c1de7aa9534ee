#pragma once

#include "model/KeyedCollection.h"
#include "template/esTextLookup.h"
#include "template/estlRecordTypes.h"

#include <string>
#include <string_view>

namespace vellum {

class Config;

// Every text-lookup property of the template, keyed by its address "REC.SUB.Property" as
// written there, plus the reverse index by holding record type (estlRecordTypes).
class esTextLookups : public KeyedCollection<esTextLookup> {
public:
    // Adds the entry and enters it in the reverse index; nullptr when the key is taken.
    esTextLookup* Add(const std::string& key, const std::string& recordType,
                      const std::string& subrecordType, const std::string& propertyType);
    using KeyedCollection<esTextLookup>::Add;

    // The lookup at record type "." template subrecord type "." property, nullptr when none.
    const esTextLookup* Find(std::string_view recordType, std::string_view subrecordType,
                             std::string_view property) const;
    using KeyedCollection<esTextLookup>::Find;

    vellum::estlRecordTypes& estlRecordTypes() { return reverse_; }
    const vellum::estlRecordTypes& estlRecordTypes() const { return reverse_; }

    void clear() {
        KeyedCollection<esTextLookup>::clear();
        reverse_.clear();
    }

private:
    vellum::estlRecordTypes reverse_;
};

// Rebuilds `list` from the template's "@TEXTLOOKUP" group. Names of fewer than three parts are
// ignored; a record type repeated within one value stops the rebuild there, silently, keeping
// what was added before it.
void BuildTextLookupList(esTextLookups& list, const Config& templ);

} // namespace vellum
