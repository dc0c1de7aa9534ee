#pragma once

#include "model/KeyedCollection.h"
#include "template/RecordLayout.h"
#include "template/SubrecordLayout.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vellum {

class Config;
struct Group;
struct Variable;

// Parses template groups into layouts on first use and keeps them until the template changes
// (Config::Generation). Each group is parsed once, so decoding never walks template text.
class TemplateLayouts {
public:
    explicit TemplateLayouts(const Config& templ) : templ_(templ) {}

    // Layout of group "R.S"; nullptr when the template has no such group.
    const SubrecordLayout* Subrecord(std::string_view recordType, std::string_view subType);
    // Layout of group "R"; never null (an absent group gives an empty layout).
    const RecordLayout& Record(std::string_view recordType);

    // The list of names "[@VALUES.name]" or "[@FLAGS.name]"; nullptr when the template has none.
    std::shared_ptr<const ValueNames> Names(ValueNames::Kind kind, std::string_view name);

    // Parses every group now (reporting template lines as it goes).
    void ParseAll();

private:
    void Refresh();
    std::unique_ptr<SubrecordLayout> ParseSubrecord(std::string_view groupName);
    void ParseIntegrity(const Group& group, SubrecordLayout& layout);
    RecordLayout ParseRecord(std::string_view recordType);
    RecordLayout::Source Locate(std::string_view recordType, std::string subID, std::string propID);
    std::shared_ptr<const ValueNames> ParseNames(ValueNames::Kind kind, std::string_view name);
    std::shared_ptr<const ValueNames> NamesFor(const Group& g, const Variable& v, SubrecordLayout::Type kind);
    // Shows a problem with one template line, once for the whole run.
    void Report(const std::string& group, const Variable& v, const std::string& problem);

    template <class T>
    using Map = std::unordered_map<std::string, T, FoldedHash, FoldedEqual>;

    const Config& templ_;
    unsigned long generation_ = ~0ul;
    Map<std::unique_ptr<SubrecordLayout>> subrecords_; // null entries remember absent groups
    Map<RecordLayout> records_;
    Map<std::shared_ptr<const ValueNames>> names_; // by group name; null entries remember absent lists
    std::string key_; // scratch for "R.S" look-ups
    std::unordered_set<std::string> reported_; // template lines reported already, for good
};

} // namespace vellum
