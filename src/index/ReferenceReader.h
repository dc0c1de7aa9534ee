#pragma once

#include "model/Bytes.h"
#include "model/Property.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vellum {

class Config;
struct Variable;
class esTextLookups;

// Reads the referenced ID out of a subrecord without decoding it, by the reverse text-lookup
// index and the template's byte sizes. Plans are worked out once per (record type, template
// subrecord type), so indexing a large master costs a hash look-up per subrecord.
class ReferenceReader {
public:
    struct Plan {
        bool Indexed = false;     // the subrecord's group holds a text-lookup property
        bool Single = false;      // the group has one variable: the whole data is the value
        std::string PropertyName; // that property's name
        std::size_t Offset = 0;   // of the ID property (several variables)
        std::size_t Size = 0;     // its declared size; 0 reads to the end of the data
    };

    ReferenceReader(const Config& templ, const esTextLookups& lookups);

    // True when some subrecord of `recordType` may hold a reference.
    bool HasLookups(std::string_view recordType) const;
    // The plan for a subrecord; its Indexed is false when nothing there is a reference.
    const Plan& PlanFor(std::string_view recordType, std::string_view templateSubrecordType);

    // The ID in `data` by the plan: cut before the first zero, trailing blanks removed.
    static std::string_view Value(const Plan& plan, ByteSpan data);
    // The same cut and trim applied to a text.
    static std::string_view CleanText(std::string_view text);
    // The value from a decoded subrecord's properties.
    std::string_view Value(const Plan& plan, const Properties& properties) const;

private:
    const Plan& PlanByText(std::string_view recordType, std::string_view templateSubrecordType);
    static std::uint32_t FourCC(std::string_view s);
    static std::size_t DeclaredSize(const Variable& v);

    const Config& templ_;
    const esTextLookups& lookups_;
    std::unordered_set<std::uint32_t> recordTypes_;
    std::unordered_map<std::string, Plan> plans_; // by "REC.SUB" in upper case
    std::unordered_map<std::uint64_t, const Plan*> quickPlans_; // the same plans by both codes
    std::string scratch_;
};

} // namespace vellum
