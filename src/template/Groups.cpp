#include "template/Groups.h"

namespace vellum {

Group* Groups::Add(const std::string& name) {
    Group* g = KeyedCollection<Group>::Add(name, Group{name, {}, {}});
    if (!g) {
        Errors = true;
        ErrorDesc = "Configuration file error: Could not add group heading '" + name +
                    "'. This could be caused by a duplicate entry";
    }
    return g;
}

} // namespace vellum
