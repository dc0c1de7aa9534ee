#pragma once

#include "CliSession.h"
#include "Command.h"

#include "index/esFiles.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vellum::cli {

// What the index, refs, delete and rename commands share: the template, the program folder
// (--home DIR, else found as the editor finds it) whose "Indices" folder takes the index files,
// and the open-file collection.
class IntegritySession {
public:
    explicit IntegritySession(const Arguments& args);

    // Opens and loads a data file, which writes its reference index; nullptr (with a message
    // on standard error) when it cannot be read.
    esfile* Open(const std::string& path);
    esFiles& Files() { return *files_; }

private:
    CliSession session_;
    std::unique_ptr<esFiles> files_;
};

// "vellum-cli <command>: <message>" on standard error; returns `code`.
int Fail(const std::string& command, const std::string& message, int code = 1);
// Writes `text` to standard output in one go.
void Print(const std::string& text);
// The record of `file` with the ID, or a message and -1.
int RecordOrFail(const std::string& command, esfile& file, const std::string& path, const std::string& id);

// The shared option lines of the integrity commands' --help.
extern const char* const kIntegrityOptions;

} // namespace vellum::cli
