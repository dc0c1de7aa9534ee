#pragma once

#include <string>

namespace vellum {

// Where a record of a category keeps (part of) its ID.
struct esID {
    std::string SubID;  // subrecord type
    std::string PropID; // property of that subrecord
    bool MultiPropID = false; // the subrecord has several properties
};

} // namespace vellum
