#include "model/AtomicOutput.h"

namespace vellum {

namespace fs = std::filesystem;

namespace {

fs::path ResolveLinks(fs::path path) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
        fs::path next = fs::read_symlink(path, ec);
        if (ec) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path.lexically_normal();
}

fs::path WithSuffix(fs::path path, const char* suffix) {
    path += suffix;
    return path;
}

} // namespace

AtomicOutput::AtomicOutput(fs::path target, FileWriter* writer)
    : target_(std::move(target)), file_(ResolveLinks(target_)), temp_(WithSuffix(file_, ".vellum-tmp")),
      backup_(WithSuffix(file_, ".bak")), backupTemp_(WithSuffix(file_, ".bak.vellum-tmp")),
      writer_(writer ? *writer : posix_) {}

AtomicOutput::~AtomicOutput() {
    if (!open_) return;
    writer_.Close();
    writer_.Remove(temp_);
    if (backupStarted_) writer_.Remove(backupTemp_);
}

bool AtomicOutput::Fail() {
    reason_ = writer_.Error().empty() ? std::string("unknown error") : writer_.Error();
    if (open_) {
        writer_.Close();
        writer_.Remove(temp_);
        if (backupStarted_) writer_.Remove(backupTemp_);
        open_ = false;
    }
    return false;
}

bool AtomicOutput::Open() {
    if (!writer_.CheckWritable(file_) || !writer_.Create(temp_)) return Fail();
    open_ = true;
    return true;
}

bool AtomicOutput::Write(ByteSpan bytes) { return (open_ && writer_.Write(bytes)) || Fail(); }

bool AtomicOutput::Write(std::string_view text) {
    return Write(ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtomicOutput::Commit(bool backup) {
    if (!open_) return Fail();
    std::error_code ec;
    const bool replacing = fs::exists(file_, ec);
    if (replacing) writer_.TakeAttributes(file_);
    if (!writer_.Flush() || !writer_.Close()) return Fail();
    // The backup is made aside and renamed into place, so a failed copy never leaves a partial
    // .bak nor removes the one there was.
    if (backup && replacing) {
        backupStarted_ = true;
        if (!writer_.Copy(file_, backupTemp_) || !writer_.Rename(backupTemp_, backup_)) return Fail();
    }
    if (!writer_.Rename(temp_, file_)) return Fail();
    open_ = false;
    return true;
}

std::string AtomicOutput::Error() const {
    return "The file " + target_.string() + " could not be written (" + reason_ +
           "). The file on disk was not changed.";
}

} // namespace vellum
