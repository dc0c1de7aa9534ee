#pragma once

#include "CliSession.h"
#include "Command.h"

#include "index/esFiles.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vellum::cli {

// What the index, refs, delete and rename commands share: the template, the folders (--home
// DIR, else found as the editor finds them) whose "Indices" folder takes the index files, and
// the open-file collection with the files given by --with loaded beside the main one.
class IntegritySession {
public:
    explicit IntegritySession(const Arguments& args);

    // Opens and loads a data file, which writes its reference index; nullptr (with a message
    // on standard error) when it cannot be read.
    esfile* Open(const std::string& path);
    // Opens the file and the --with files and finds the record with the ID: the record's
    // index, or -1 (with a message) when any of it fails.
    int OpenRecord(const std::string& command, const std::string& path, const std::string& id, esfile*& file);
    // Writes every --with file the command changed into --out-dir under its own name; false
    // (with a message) when one could not be written.
    bool SaveCompanions(const std::string& command);
    esFiles& Files() { return *files_; }
    // The name a row of another file than the main one carries: " in <file>", else "".
    std::string InFile(const std::string& fileKey) const;
    // "unchanged: ..." per place the command left naming the ID.
    std::string UnchangedLines();

private:
    const Arguments& args_;
    CliSession session_;
    std::unique_ptr<esFiles> files_;
    std::string mainKey_;
    std::vector<std::string> companions_;
};

// "vellum-cli <command>: <message>" on standard error; returns `code`.
int Fail(const std::string& command, const std::string& message, int code = 1);
// Writes `text` to standard output in one go.
void Print(const std::string& text);

// The shared option lines of the integrity commands' --help.
extern const char* const kIntegrityOptions;
// The --with line, and the --out-dir line of the commands that write.
extern const char* const kWithOption;
extern const char* const kOutDirOption;

} // namespace vellum::cli
