#pragma once

#include "CliSession.h"
#include "Command.h"

#include "index/esFiles.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vellum::cli {

// What the index, refs, delete and rename commands share: the template, the folders (--home
// DIR, else found as the editor finds them) whose "Indices" folder takes the index files, and
// the open-file collection.
class IntegritySession {
public:
    explicit IntegritySession(const Arguments& args);

    // Opens and loads a data file, which writes its reference index; nullptr (with a message
    // on standard error) when it cannot be read.
    esfile* Open(const std::string& path);
    // Opens the file and finds its record with the ID: the record's index, or -1 (with a
    // message) when either fails.
    int OpenRecord(const std::string& command, const std::string& path, const std::string& id, esfile*& file);
    esFiles& Files() { return *files_; }

private:
    CliSession session_;
    std::unique_ptr<esFiles> files_;
};

// "vellum-cli <command>: <message>" on standard error; returns `code`.
int Fail(const std::string& command, const std::string& message, int code = 1);
// Writes `text` to standard output in one go.
void Print(const std::string& text);

// The shared option lines of the integrity commands' --help.
extern const char* const kIntegrityOptions;

} // namespace vellum::cli
