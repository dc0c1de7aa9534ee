#pragma once

#include "template/SubrecordLayout.h"

#include <string>
#include <vector>

namespace vellum {

// The parsed form of a record-type group of the format template ("[NPC_]"): where the record's
// ID and description lie, and the presence instructions.
struct RecordLayout {
    // One "subrecord type:property name" pair of PropID (or the PropDesc pair).
    struct Source {
        std::string SubID;  // template subrecord type
        std::string PropID; // property name inside it
        bool MultiPropID = false; // its group has more than one property line
        // Where the property lies in packed data: the sum of the declared sizes before it,
        // and its type and declared size. Without such a line the part is empty.
        bool Found = false;
        std::size_t Offset = 0;
        SubrecordLayout::Type Kind = SubrecordLayout::Type::Unknown;
        int Size = 0;
    };

    std::vector<Source> Sources; // PropID pairs in order; empty when the type has no ID
    bool HasDesc = false;
    Source Desc;                 // PropDesc: SubID = Value1, PropID = Value2
    bool HexID = false;
    bool Unique = false;
    bool PrecedesChildren = false;
    bool FollowsParent = false;
};

} // namespace vellum
