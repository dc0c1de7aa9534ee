#pragma once

#include "template/SearchCriteria.h"
#include "template/SearchHit.h"

#include <optional>
#include <string>
#include <vector>

namespace vellum {

class esfile;
class Progress;

// The search of the Find and Find All windows over the records of open files. Records are
// read where they lie: a packed record stays packed and untouched, unless the file's
// LeaveRecordsUnpacked is set, in which case the records searched are left unpacked with
// their compared subrecords decoded, as the editor would leave them.
class Search {
public:
    // `scope`: the files searched, in order (every open file, or the current one alone).
    Search(std::vector<esfile*> scope, SearchCriteria criteria, Progress* progress = nullptr);

    // Every hit, in file, category, record, subrecord and property order. Stops early when the
    // progress is cancelled. Progress texts ("Adding record ", "Checking subrecord ", …) go to
    // the progress on every 501st step.
    std::vector<SearchHit> FindAll();

    // The first hit after `from` in the same order (from the start without one); nullopt
    // when there is none. A record place is before the hits inside that record; a subrecord
    // place without a property is after the hits inside that subrecord.
    std::optional<SearchHit> FindNext(const SearchHit* from);

private:
    class Walker;
    std::vector<esfile*> scope_;
    SearchCriteria criteria_;
    Progress* progress_;
};

} // namespace vellum
