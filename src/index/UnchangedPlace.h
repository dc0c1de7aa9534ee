#pragma once

#include "index/MentionKind.h"

#include <string>

namespace vellum {

// A place that still names an ID after the operation that deleted or renamed its record left it
// as it was: the user is told of each.
struct UnchangedPlace {
    std::string FileKey;
    std::string File; // the file's name, as the user knows it
    std::string RecordKey;
    std::string RecordID;
    std::string SubrecordKey;
    std::string Reason;

    // "<file>/<RECORD KEY> (<record ID>)/<SUBRECORD KEY> <reason>"
    std::string Text() const { return File + "/" + RecordKey + " (" + RecordID + ")/" + SubrecordKey + " " + Reason; }
};

// The reasons, word for word.
inline constexpr const char* kUnchangedResultScript = "result script names the ID";
inline constexpr const char* kUnchangedScriptSource = "script source names the ID";
inline constexpr const char* kUnchangedCondition = "condition names the ID";
inline constexpr const char* kUnchangedNoAction = "no action chosen";
inline constexpr const char* kUnchangedCompiled = "compiled script names the ID; recompile the script";

// Why a place that names an ID is left as it is: what kind of text names it, or that the user
// chose no action for the reference.
inline const char* UnchangedReason(MentionKind kind) {
    switch (kind) {
    case MentionKind::ResultScript: return kUnchangedResultScript;
    case MentionKind::ScriptSource: return kUnchangedScriptSource;
    case MentionKind::Condition: return kUnchangedCondition;
    default: return kUnchangedNoAction;
    }
}

} // namespace vellum
