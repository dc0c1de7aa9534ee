#include "template/TemplateIdentity.h"

#include "model/Text.h"
#include "template/Config.h"

#include <vector>

namespace vellum {

void RequireIdentitySubrecords(Config& templ) {
    std::vector<std::string> required;
    for (const auto& g : templ.Groups()) {
        const std::string& name = g.value.Name;
        if (name.empty() || name.front() == '@' || name.find('.') != std::string::npos) continue;
        const Variable* id = g.value.Variables.Find("PropID");
        if (!id) continue;
        const std::string_view value = id->Value;
        required.push_back(name + "." + std::string(TrimSpaces(value.substr(0, value.find(':')))));
    }
    // Groups are added after the walk, not during it.
    for (const std::string& groupName : required) {
        templ.AddGroup(groupName);
        Group* group = templ.FindGroup(groupName);
        if (!group) continue;
        if (Variable* r = group->Instructions.Find("Requirement"))
            r->Value = "2";
        else
            group->Instructions.Add("Requirement", "2");
    }
    templ.Touch();
}

} // namespace vellum
