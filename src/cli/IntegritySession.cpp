#include "IntegritySession.h"

#include "index/References.h"
#include "model/esfile.h"

#include <cstdio>

namespace vellum::cli {

namespace fs = std::filesystem;

const char* const kIntegrityOptions =
    "  --template FILE  the format template (default: the user's ESTemplate.ini)\n"
    "  --home DIR       one folder for the template, settings, Indices and Dumps\n"
    "  --help           this text\n";

IntegritySession::IntegritySession(const Arguments& args) : session_(args) {
    files_ = std::make_unique<esFiles>(session_.Template(), session_.Program().IndicesFolder());
}

esfile* IntegritySession::Open(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    const std::string key = full.string();
    esfile* f = files_->Find(key);
    if (!f) f = files_->Add(key);
    f->FileTitle = full.filename().string();
    const int result = f->LoadFile(key, true, true, nullptr);
    if (result == esfile::kMissing) return Fail("open", path + ": the file does not exist"), nullptr;
    if (result != esfile::kLoaded) return Fail("open", path + ": not a data file (too small)"), nullptr;
    return f;
}

int Fail(const std::string& command, const std::string& message, int code) {
    std::fprintf(stderr, "vellum-cli %s: %s\n", command.c_str(), message.c_str());
    return code;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int IntegritySession::OpenRecord(const std::string& command, const std::string& path, const std::string& id,
                                 esfile*& file) {
    file = Open(path);
    if (!file) return -1;
    const int index = FindRecordByID(*file, id);
    if (index <= 0) Fail(command, "no record of " + path + " has the ID '" + id + "'");
    return index <= 0 ? -1 : index;
}

} // namespace vellum::cli
