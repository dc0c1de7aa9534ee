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
const char* const kWithOption =
    "  --with FILE      load FILE beside it, as a file open in the editor (repeatable); files\n"
    "                   that name it among their masters are searched too\n";
const char* const kOutDirOption =
    "  --out-dir DIR    where the --with files the command changed are written, under their\n"
    "                   own names (required with --with)\n";

IntegritySession::IntegritySession(const Arguments& args) : args_(args), session_(args) {
    files_ = std::make_unique<esFiles>(session_.Template(), session_.Program().IndicesFolder(),
                                       &session_.Program().Settings());
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
    mainKey_ = file->FileName;
    for (const std::string& with : args_.Values("--with")) {
        esfile* companion = Open(with);
        if (!companion) return -1;
        if (companion == file) return Fail(command, with + " is the file itself"), -1;
        companions_.push_back(companion->FileName);
    }
    const int index = FindRecordByID(*file, id);
    if (index <= 0) Fail(command, "no record of " + path + " has the ID '" + id + "'");
    return index <= 0 ? -1 : index;
}

bool IntegritySession::SaveCompanions(const std::string& command) {
    const fs::path dir = args_.Value("--out-dir");
    bool ok = true;
    for (const std::string& key : companions_) {
        esfile& f = files_->Item(key);
        if (!f.Changed) continue;
        std::error_code ec;
        fs::create_directories(dir, ec);
        const fs::path out = dir / fs::path(key).filename();
        if (fs::equivalent(out, key, ec)) {
            Fail(command, out.string() + ": --out-dir must not be the folder of the --with files");
            ok = false;
            continue;
        }
        if (!f.Save(out.string(), out.filename().string(), false, nullptr)) ok = false;
    }
    return ok;
}

std::string IntegritySession::InFile(const std::string& fileKey) const {
    return KeysEqual(fileKey, mainKey_) ? std::string() : " in " + fs::path(fileKey).filename().string();
}

std::string IntegritySession::UnchangedLines() {
    std::string out;
    for (const UnchangedPlace& p : files_->Unchanged()) out += "unchanged: " + p.Text() + "\n";
    return out;
}

} // namespace vellum::cli
