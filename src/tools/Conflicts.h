#pragma once

#include "model/Bytes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vellum {

class esfile;
class Progress;
struct RecordEntry;

// The records that several files define (RecordIdentity), with the files in load order, the one
// that wins (the last) and where their versions differ.
class Conflicts {
public:
    struct Entry {
        std::string type;
        std::string id;                   // as lists show it
        std::vector<std::size_t> files;   // positions in the load order, ascending; the last wins
        std::vector<int> records;         // the record in each of those files
        std::vector<std::string> differing; // "flags" and subrecord names the versions disagree on
        bool Identical() const { return differing.empty(); }
    };

    // Every record defined in more than one of `files` (given in load order), in the order the
    // load order first defines them. Cancelled through the progress sink: what was found so far.
    static std::vector<Entry> Find(const std::vector<esfile*>& files, Progress* progress = nullptr);

    // "<TYPE> <ID>: <file>, <file>, ... winner <file> identical|differs <SUB>[, ...]", files by
    // `names` (one per file of the load order).
    static std::string Line(const Entry& entry, const std::vector<std::string>& names);
    // "records in more than one file: N, differing: M"
    static std::string Summary(const std::vector<Entry>& entries);

    // "flags" when the record headers' flags differ, then each subrecord name (in order of first
    // appearance) whose subrecords, taken in order, are not the same in every version.
    static std::vector<std::string> Differences(const std::vector<const RecordEntry*>& records,
                                                const std::vector<ByteSpan>& data);

    // The record's data as it stands, edits encoded; `scratch` holds it when it had to be built.
    static ByteSpan DataOf(const esfile& file, int record, Bytes& scratch);
};

} // namespace vellum
