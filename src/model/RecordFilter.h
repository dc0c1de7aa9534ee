#pragma once

#include "model/CodePage.h"

#include <array>
#include <cstddef>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <unordered_set>

namespace vellum {

class esCheckedEntries;
class esfile;
struct RecordEntry;

// Which records of a file a filter keeps. The text is looked for in a record's ID as lists show
// it and in its name (the template's description: FNAM for most types, a response's text), in
// any letter case of the file's code page; text written /like this/ is a regular expression
// (ECMAScript) searched for in the same way. Toggles keep only ticked records (a record with a
// ticked subrecord counts) or only records added or changed since the file was loaded.
class RecordFilter {
public:
    static constexpr std::size_t kMaxExpression = 500;

    RecordFilter() = default; // keeps every record

    // False for an expression that does not compile or is too long: Error() says why, and the
    // text then keeps every record. `text` is in the file's code page.
    bool SetText(std::string_view text, int codePage = kDefaultCodePage);
    const std::string& Error() const { return error_; }
    bool HasText() const { return !needle_.empty() || expression_; }
    // One text (an ID or a name) against the filter's text alone.
    bool Matches(std::string_view text) const;
    // The ticked records of `marks` as they are now; null keeps ticked and unticked alike.
    void SetMarkedOnly(const esCheckedEntries* marks);
    bool MarkedOnly() const { return markedOnly_; }
    void SetChangedOnly(bool on) { changedOnly_ = on; }

    // Some record may be left out.
    bool Active() const { return HasText() || markedOnly_ || changedOnly_; }
    bool Keeps(const esfile& file, int position) const;
    // The records of category `type` that the filter keeps, without building anything.
    std::size_t Count(const esfile& file, std::string_view type) const;

private:
    bool Contains(std::string_view text) const; // the needle, in any letter case
    std::string Small(std::string_view text, bool highOnly) const;

    std::array<unsigned char, 256> small_{};
    std::string needle_; // in small letters; of an expression, the text its every match holds
    std::shared_ptr<const std::regex> expression_; // its non-ASCII letters small
    std::string error_;
    bool markedOnly_ = false;
    bool changedOnly_ = false;
    std::unordered_set<std::string> marked_; // record keys
};

} // namespace vellum
