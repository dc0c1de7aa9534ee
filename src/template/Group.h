#pragma once

#include "template/Variables.h"

#include <string>

namespace vellum {

// One "[heading]" of a configuration file with its variables and "@" instructions.
struct Group {
    std::string Name;
    vellum::Variables Variables;
    vellum::Variables Instructions; // stored without the "@"
};

} // namespace vellum
