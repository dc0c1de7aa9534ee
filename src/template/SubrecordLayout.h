#pragma once

#include "template/ValueNames.h"

#include <memory>
#include <string>
#include <vector>

namespace vellum {

// The parsed form of one subrecord group of the format template ("[NPC_.NPDT]"): its property
// lines in byte order and the instructions that packing, adding and scanning read.
struct SubrecordLayout {
    enum class Type {
        Unknown, // a type the vocabulary lacks: no property, no bytes
        Missing, // an empty line value: a template error once the data reaches it
        String,
        StringList,
        Byte,
        BitField,
        Short,
        Long,
        Signed, // SIGNED,1..4: sign-extended
        Long64,
        Single,
        Double,
    };

    struct Line {
        std::string Name;  // the property name, also its caption
        Type Kind = Type::Unknown;
        int Size = 0;      // declared SIZE; LONG normalised to 1..4, negative sizes read as 0
        bool TextLookup = false;
        bool FileLookup = false;
        // The list its third part names, when that list exists and suits the type.
        std::shared_ptr<const ValueNames> Names;
    };

    std::string Group; // "R.S" as the heading was written
    std::vector<Line> Lines;
    int Requirement = 0;       // @REQUIREMENT: 0 optional, 1 in its repeating group, 2 in the record
    bool StartsGroup = false;  // @STARTGROUP present
    std::string StartGroup;    // its Value1 (a group name or "MAINRECORD")
    bool Unique = false;       // @Unique
    bool AllowNull = false;    // @AllowNull

    // What keeps a record whole when subrecords or the records they name come and go.
    enum class Link { None, Previous, Next };
    enum class Script { None, Interpreted, Compiled };
    struct ConditionLookup {
        std::string Property;           // the line holding the name the condition tests
        std::string Selector;           // the value of the ConditionOn line that makes it a record ID
        std::vector<std::string> Types; // the record types it then names
    };
    std::string Counts;        // @Counts: the subrecord type whose occurrences after this one it counts
    bool Filter = false;       // @Filter: the record applies only where the record this names exists
    Link Chain = Link::None;   // @Chain: this names the record before or after its own in a list
    Script ScriptText = Script::None; // @ScriptText: script source, compiled elsewhere or when run
    std::string CompiledIn;    // @ScriptText's second part: the subrecord holding the compiled form
    std::string ConditionOn;   // @Condition: the line whose value tells what the condition names
    std::vector<ConditionLookup> Conditions; // from [@CONDITIONLOOKUP]
};

} // namespace vellum
