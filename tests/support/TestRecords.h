#pragma once

#include "model/Bytes.h"

#include <cstdint>
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
};
std::vector<RawRecord> RawRecords(const Bytes& file);
std::vector<RawSubrecord> RawSubrecords(const Bytes& file);

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

} // namespace vellum::test
