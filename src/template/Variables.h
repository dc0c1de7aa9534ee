#pragma once

#include "model/KeyedCollection.h"
#include "template/Variable.h"

#include <string>

namespace vellum {

// Ordered, case-insensitive collection of variables (or instructions) of one group.
// A failed Add leaves the collection unchanged and sets Errors and ErrorDesc.
class Variables : public KeyedCollection<Variable> {
public:
    Variable* Add(const std::string& name, const std::string& value);

    bool Errors = false;
    std::string ErrorDesc;
};

} // namespace vellum
