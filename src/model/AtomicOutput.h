#pragma once

#include "model/Bytes.h"
#include "model/FileWriter.h"

#include <filesystem>
#include <string>

namespace vellum {

// A file written whole or not at all: the bytes go to "<target>.vellum-tmp", which replaces the
// target only when Commit succeeds. On any failure, and when the object goes away uncommitted,
// the temporary file is removed and the target is left as it was.
class AtomicOutput {
public:
    // `writer` is the POSIX one when null; the caller keeps it alive.
    explicit AtomicOutput(std::filesystem::path target, FileWriter* writer = nullptr);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool Open();
    bool Write(ByteSpan bytes);
    bool Write(std::string_view text);
    // Down to the disk, closed and renamed over the target.
    bool Commit();

    // "the file <target> could not be written (<reason>). ..." after a failure.
    std::string Error() const;

private:
    bool Fail();

    std::filesystem::path target_, temp_;
    PosixFileWriter posix_;
    FileWriter& writer_;
    bool open_ = false;
    std::string reason_;
};

} // namespace vellum
