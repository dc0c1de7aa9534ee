#include "index/ReferenceReader.h"

#include "model/Text.h"

#include <algorithm>
#include "template/Config.h"
#include "template/esTextLookups.h"

namespace vellum {

// Types of a fixed width take it whatever the line declares; others take the declared size.
std::size_t ReferenceReader::DeclaredSize(const Variable& v) {
    const std::string type = ToUpper(TrimSpaces(v.Value1()));
    if (type == "SHORT") return 2;
    if (type == "SINGLE") return 4;
    if (type == "DOUBLE" || type == "LONG64") return 8;
    return static_cast<std::size_t>(std::max(0, ValInt(v.Value2())));
}

std::uint32_t ReferenceReader::FourCC(std::string_view s) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned char c = i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        v |= std::uint32_t(c) << (8 * i);
    }
    return v;
}

ReferenceReader::ReferenceReader(const Config& templ, const esTextLookups& lookups)
    : templ_(templ), lookups_(lookups) {
    for (const auto& e : lookups.estlRecordTypes()) recordTypes_.insert(FourCC(e.key));
}

bool ReferenceReader::HasLookups(std::string_view recordType) const {
    return recordType.size() == 4 && recordTypes_.count(FourCC(recordType)) != 0;
}

const ReferenceReader::Plan& ReferenceReader::PlanFor(std::string_view recordType,
                                                      std::string_view templateSubrecordType) {
    // Nearly every look-up is of two four-letter codes: one integer key, no text built.
    const bool quick = recordType.size() == 4 && templateSubrecordType.size() == 4;
    const std::uint64_t code = quick ? std::uint64_t(FourCC(recordType)) << 32 | FourCC(templateSubrecordType) : 0;
    if (quick)
        if (auto hit = quickPlans_.find(code); hit != quickPlans_.end()) return *hit->second;
    const Plan& plan = PlanByText(recordType, templateSubrecordType);
    if (quick) quickPlans_.emplace(code, &plan);
    return plan;
}

const ReferenceReader::Plan& ReferenceReader::PlanByText(std::string_view recordType,
                                                         std::string_view templateSubrecordType) {
    scratch_.assign(recordType).append(1, '.').append(templateSubrecordType);
    for (char& c : scratch_)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    auto found = plans_.find(scratch_);
    if (found != plans_.end()) return found->second;

    // The property read is the first of the group that is itself a text lookup at this exact
    // template subrecord type, so that a CELL's own NAME is not taken for its NAME_NEXT.
    Plan plan;
    const Group* group = lookups_.estlRecordTypes().Find(recordType, templateSubrecordType)
                             ? templ_.FindGroup(scratch_)
                             : nullptr;
    if (group && group->Variables.Count() >= 1) {
        plan.Single = group->Variables.Count() == 1;
        std::size_t offset = 0;
        for (const auto& v : group->Variables) {
            const std::size_t size = DeclaredSize(v.value);
            if (lookups_.Find(recordType, templateSubrecordType, v.value.Name)) {
                plan.Indexed = true;
                plan.PropertyName = v.value.Name;
                plan.Offset = offset;
                plan.Size = size;
                break;
            }
            offset += size;
        }
    }
    return plans_.emplace(scratch_, std::move(plan)).first->second;
}

// Always cut at the first zero, not only when the value ends in one: an index string cannot
// carry a zero inside a field, and no ID holds one.
std::string_view ReferenceReader::CleanText(std::string_view text) {
    return TrimRightSpaces(text.substr(0, text.find('\0')));
}

std::string_view ReferenceReader::Value(const Plan& plan, ByteSpan data) {
    std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
    if (plan.Single) return CleanText(all);
    if (plan.Offset >= all.size()) return {};
    std::string_view field = all.substr(plan.Offset);
    return CleanText(plan.Size > 0 ? field.substr(0, plan.Size) : field);
}

std::string_view ReferenceReader::Value(const Plan& plan, const Properties& properties) const {
    const Property* p = plan.Single ? (properties.Count() ? &properties.Item(1) : nullptr)
                                    : properties.Find(plan.PropertyName);
    if (!p || !std::holds_alternative<std::string>(p->Value)) return {};
    return CleanText(std::get<std::string>(p->Value));
}

} // namespace vellum
