#pragma once

#include <filesystem>
#include <string>

namespace vellum {

class esfile;
class Progress;

// Options of a text dump, as the dump dialog sets them.
struct DumpOptions {
    // 0 records with raw record data; 1 records, subrecords and raw subrecord data;
    // 2 records, subrecords and decoded properties.
    int Mode = 0;
    bool TabDelimited = false; // one line per item with tabs, else indented blocks
    bool Headers = false;      // sizes, header and flags in record and subrecord lines
    bool ByteValues = false;   // raw data as three-digit numbers instead of characters
    bool Trim = false;         // at most 255 numbers per record, 253 per subrecord
};

// Writes a whole file as text into `dumpsFolder`/<FileTitle>.txt (the file name when there is
// no title) and returns that path, or
// an empty text (after a message) when the file cannot be written. Records and subrecords
// are read where they are and left exactly as they were, packed or decoded. Busy is set for
// the run and the progress is told DoneWaiting on every path.
std::string DumpAsText(esfile& file, const DumpOptions& options, const std::filesystem::path& dumpsFolder,
                       Progress* progress = nullptr);

// What the dump dialog says when the dump is written: "The dumped text has been saved to ",
// a line feed, and "Dumped Text - .../Dumps/<title>.txt".
std::string DumpSavedText(const std::string& fileTitle);

} // namespace vellum
