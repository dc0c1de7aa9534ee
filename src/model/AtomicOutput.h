#pragma once

#include "model/Bytes.h"
#include "model/FileWriter.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vellum {

// A file written whole or not at all. The bytes go to "<file>.vellum-tmp", where <file> is the
// target with its symbolic links followed (a link stays a link, the file it names is updated);
// only Commit puts it in the file's place, with the mode, owner and group of the file it
// replaces, after keeping a copy of that file as "<file>.bak" when asked. On any failure, and
// when the object goes away uncommitted, the temporary files are removed and the target, and a
// backup there was, are left as they were.
class AtomicOutput {
public:
    // `writer` is the POSIX one when null; the caller keeps it alive.
    explicit AtomicOutput(std::filesystem::path target, FileWriter* writer = nullptr);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Whether the file may be replaced (not read-only, in a folder that can be written), and the
    // temporary file created.
    bool Open();
    bool Write(ByteSpan bytes);
    bool Write(std::string_view text);
    // Down to the disk, closed and renamed over the file; `backup` keeps the file it replaces.
    bool Commit(bool backup = false);

    // Bytes worth gathering before each Write.
    std::size_t ChunkSize() const { return writer_.ChunkSize(); }
    // Why the last step failed ("write failed: No space left on device").
    const std::string& Reason() const { return reason_; }
    // "The file <target> could not be written (<reason>). ..." after a failure.
    std::string Error() const;

private:
    bool Fail();

    std::filesystem::path target_, file_, temp_, backup_, backupTemp_;
    PosixFileWriter posix_;
    FileWriter& writer_;
    bool open_ = false, backupStarted_ = false;
    std::string reason_;
};

} // namespace vellum
