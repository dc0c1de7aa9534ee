#include "model/AtomicOutput.h"

namespace vellum {

AtomicOutput::AtomicOutput(std::filesystem::path target, FileWriter* writer)
    : target_(std::move(target)), writer_(writer ? *writer : posix_) {
    temp_ = target_;
    temp_ += ".vellum-tmp";
}

AtomicOutput::~AtomicOutput() {
    if (!open_) return;
    writer_.Close();
    writer_.Remove(temp_);
}

bool AtomicOutput::Fail() {
    reason_ = writer_.Error().empty() ? std::string("unknown error") : writer_.Error();
    if (open_) {
        writer_.Close();
        writer_.Remove(temp_);
        open_ = false;
    }
    return false;
}

bool AtomicOutput::Open() {
    if (!writer_.Create(temp_)) return Fail();
    open_ = true;
    return true;
}

bool AtomicOutput::Write(ByteSpan bytes) { return (open_ && writer_.Write(bytes)) || Fail(); }

bool AtomicOutput::Write(std::string_view text) {
    return Write(ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtomicOutput::Commit() {
    if (!open_ || !writer_.Flush() || !writer_.Close() || !writer_.Rename(temp_, target_)) return Fail();
    open_ = false;
    return true;
}

std::string AtomicOutput::Error() const {
    return "The file " + target_.string() + " could not be written (" + reason_ +
           "). The file on disk was not changed.";
}

} // namespace vellum
