#include "template/SubrecordCaption.h"

#include "template/Config.h"
#include "template/Variable.h"
#include "model/Text.h"

namespace vellum {

std::string SubrecordCaption(const Config& templ, std::string_view recordType, std::string_view subType) {
    std::string caption(subType.substr(0, 4));
    std::string group(recordType);
    group += '.';
    group += subType;
    std::string_view description;
    if (const Variable* v = templ.FindVar("@DESCRIPTION", group))
        description = TrimSpaces(v->Value);
    if (description.empty() && subType.size() > 4)
        description = subType;
    if (!description.empty()) {
        caption += " (";
        caption += description;
        caption += ')';
    }
    return caption;
}

} // namespace vellum
