#include "template/Variables.h"

namespace vellum {

Variable* Variables::Add(const std::string& name, const std::string& value) {
    Variable* v = KeyedCollection<Variable>::Add(name, Variable{name, value});
    if (!v) {
        Errors = true;
        ErrorDesc = "Configuration file error: Could not add variable setting '" + name +
                    "'. This could be caused by a duplicate entry";
    }
    return v;
}

} // namespace vellum
