#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Config;

// What the Find and Find All windows search for, normalised as the windows read their
// controls, with the comparison both searches use.
struct SearchCriteria {
    std::string Text;       // right-trimmed; may be empty
    std::string RecordType; // first four characters, upper-cased; may be empty
    std::string SubType;    // right-trimmed; may be empty
    bool MatchCase = false;
    bool WholePhrase = false;
    bool AllFiles = false;

    static SearchCriteria FromInput(std::string_view text, std::string_view recordType,
                                    std::string_view subType, bool matchCase, bool wholePhrase,
                                    bool allFiles);

    // The Find button is enabled when text, record type or subrecord type is given.
    static bool CanFind(std::string_view text, std::string_view recordType, std::string_view subType);

    // A hit: the value equals the text (whole phrase) or contains it; letter case ignored
    // unless MatchCase.
    bool Matches(std::string_view value) const;

    // Record types offered in the record-type list: template groups without "." whose name
    // does not begin with "@" and that do not hold @FollowsParent, as four characters, once each.
    static std::vector<std::string> RecordTypes(const Config& templ);
    // Subrecord types offered for record type `recordType` (every one when it is empty or
    // begins with "@"): the four-character subrecord part of every "R.S" group whose record
    // part does not begin with "@", once each, in template order.
    static std::vector<std::string> SubrecordTypes(const Config& templ, std::string_view recordType);
};

} // namespace vellum
