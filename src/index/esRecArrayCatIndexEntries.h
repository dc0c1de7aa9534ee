#pragma once

#include "index/esIDs.h"
#include "index/esRecArrayCatEntries.h"
#include "index/esRecIDIndex.h"

#include <string>

namespace vellum {

// One category (record type) of a file: its records, their IDs and what the template says
// about where a record of this type keeps its ID and description.
struct esRecArrayCatIndexEntries {
    bool HexID = false;
    vellum::esRecIDIndex esRecIDIndex;
    vellum::esIDs esIDs;
    std::string PropDesc, SubDesc;
    std::string PropID, SubID;
    bool MultiPropDesc = false, MultiPropID = false;
    vellum::esRecArrayCatEntries esRecArrayCatEntries;
};

} // namespace vellum
