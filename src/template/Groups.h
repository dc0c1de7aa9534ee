#pragma once

#include "model/KeyedCollection.h"
#include "template/Group.h"

#include <string>

namespace vellum {

// Ordered, case-insensitive collection of groups. A failed Add sets Errors and ErrorDesc.
class Groups : public KeyedCollection<Group> {
public:
    Group* Add(const std::string& name);

    bool Errors = false;
    std::string ErrorDesc;
};

} // namespace vellum
