#pragma once

#include "model/Bytes.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum::test {

// Builds TES3 files byte by byte.
struct Sub {
    std::string name;
    Bytes data;
};
Bytes SubBytes(const Sub& s);
Bytes RecordBytes(std::string_view name, const std::vector<Sub>& subs, std::int32_t flags = 0,
                  std::int32_t header1 = 0);
Bytes Text(std::string_view s, bool terminate = true); // one byte per character
Bytes Int32(std::int32_t v);
Bytes Gmst(std::string_view id); // a game setting with only its ID
// A "TES3" record with a 300-byte HEDR announcing `count` records, and masters.
Bytes HeaderRecord(std::int32_t count, std::int32_t fileType = 0,
                   const std::vector<std::pair<std::string, std::int64_t>>& masters = {});
Bytes Concat(const std::vector<Bytes>& parts);

// A file's records and subrecords as they lie in its bytes, for walking real files without
// the model. A record size past the end of the file is cut to it; a subrecord running past
// its record ends the record's walk. The spans point into `file`, which must outlive them.
struct RawRecord {
    std::string type;
    ByteSpan whole; // header and data
    ByteSpan data;
};
struct RawSubrecord {
    std::string record;
    std::string type; // the format template's subrecord type
    ByteSpan data;
    bool first;       // the record's first subrecord
    std::string name; // as stored
};
std::vector<RawRecord> RawRecords(const Bytes& file);
std::uint32_t AnnouncedRecords(const Bytes& file); // the header's count, read at its fixed place
std::vector<RawSubrecord> RawSubrecords(const RawRecord& record);
std::vector<RawSubrecord> RawSubrecords(const Bytes& file);
// The records and subrecords view the bytes: keep the file alive while they are read.
std::vector<RawRecord> RawRecords(Bytes&&) = delete;
std::vector<RawSubrecord> RawSubrecords(Bytes&&) = delete;

// What a reader of the bytes alone finds changed between a file as loaded and as saved. Records
// are matched by type, ID (any letter case) and rank among the records of that type and ID,
// under ChangeKeys' keys; `renamed` maps a changed ID (lower case) back to the loaded one.
struct ChangeKeys {
    std::map<std::string, int> seen;
    std::string Next(std::string_view type, std::string_view id); // "TYPE id#rank"
};
struct RawChangeList {
    std::map<std::string, std::string> records; // key -> "added", "changed" or "unchanged"
    std::map<std::string, int> deleted;         // type -> loaded records no longer there
};
RawChangeList RawChanges(const Bytes& loaded, const Bytes& saved,
                         const std::map<std::string, std::string>& renamed = {});

// A file's dialogue as its bytes hold it: each topic with its type and the responses that follow
// it in the file, with their links, speaker and text (NAME as stored).
struct RawResponse {
    std::string id, previous, next, speaker, text;
};
struct RawTopic {
    std::string id;
    int type = -1;
    std::vector<RawResponse> responses;
};
std::vector<RawTopic> RawTopics(const Bytes& file);
// Every topic's list: "\n<topic>: <id><<previous>|<next> ..." per topic, in file order.
std::string RawChains(const Bytes& file);

// Checks of a file's bytes that share nothing with the code under test (no template, no model):
// what a reader of the game's format expects after a safe edit.

// A record's ID as its bytes give it: a script's name in SCHD, else its first subrecord's text.
std::string RawID(const RawRecord& record);
// The name the game shows for a record as its bytes give it: FNAM of the types that carry one,
// a response's text (INFO NAME); empty for other types.
std::string RawName(const RawRecord& record);
// "<TYPE> <ID>: <SUB> <n>, <m> <COUNTED> follow" per count that disagrees with the subrecords
// after it: LEVI/LEVC INDX (INAM/CNAM) and CELL NAM0 (FRMR). A count off by just as much in
// `original` is passed over: counts that were off in the input are kept as read.
std::vector<std::string> WrongCounts(const Bytes& file, const Bytes& original = {});
// "<topic>/<INFO>: ..." per response whose PNAM or NNAM names a response of its topic that does
// not name it back (links to responses of other files are not checked).
std::vector<std::string> BrokenChains(const Bytes& file);
// "<TYPE> <ID> <SUB>" per subrecord that names `id` as a whole word in any letter case, the
// comments of script text (SCTX, BNAM) and the records' own IDs left out.
std::vector<std::string> PlacesNaming(const Bytes& file, std::string_view id);

} // namespace vellum::test
