#include "IntegritySession.h"

#include "model/esfile.h"

namespace vellum::cli {
namespace {

const char* ActionName(int action) {
    switch (action) {
    case kDelete: return "Delete";
    case kCut: return "Cut";
    case kCopy: return "Copy";
    case kClear: return "Clear";
    default: return "No Action";
    }
}

int Delete(const Arguments& args) {
    const std::string out = args.Value("--out");
    if (args.files.size() != 2 || out.empty()) return Fail("delete", "give a file, an ID and --out OUT", 2);
    if (!args.Values("--with").empty() && args.Value("--out-dir").empty())
        return Fail("delete", "give --out-dir DIR for the --with files", 2);
    IntegritySession session(args);
    esfile* f = nullptr;
    const int index = session.OpenRecord("delete", args.files[0], args.files[1], f);
    if (index < 0) return 1;

    esFiles& files = session.Files();
    const std::string fileKey = f->FileName;
    const std::string recordKey = f->Records()[static_cast<std::size_t>(index)].Key;
    files.RecurseRelatives(fileKey, recordKey, {}, kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
    std::string text;
    for (const auto& e : files.esRelatives()) {
        const esRelative& r = e.value;
        text += std::string(ActionName(r.Action)) + " " + std::to_string(r.Generation) + " " + r.RecordType + " " +
                r.ID + " " + r.RecordKey + (r.SubRecordKey.empty() ? "" : "/" + r.SubRecordKey) +
                session.InFile(r.FileKey) + "\n";
    }
    files.ProcessRelatives({}, nullptr);
    Print(text + session.UnchangedLines());
    const bool saved = f->Save(out, std::filesystem::path(out).filename().string(), false, nullptr);
    return session.SaveCompanions("delete") && saved ? 0 : 1;
}

const CommandRegistration registration({
    "delete",
    "delete a record safely: with the records that depend on it, by the default actions",
    std::string("usage: vellum-cli delete [--template FILE] [--home DIR] FILE ID --out OUT\n"
                "                         [--with FILE]... [--out-dir DIR]\n"
                "\n"
                "Scans the descendants of the record with that ID generation by generation (safe\n"
                "editing on), in FILE and in the --with files that name it among their masters,\n"
                "prints every entry as\n"
                "  <Action> <generation> <TYPE> <ID> <RECORD KEY>[/<SUBRECORD KEY>][ in <file>]\n"
                "(Action: Delete, Clear for a required reference that may be empty, No Action for\n"
                "script text that names the ID), carries the actions out, prints one line per place\n"
                "that still names a deleted ID:\n"
                "  unchanged: <file>/<RECORD KEY> (<record ID>)/<SUBRECORD KEY> <reason>\n"
                "and writes the result to OUT, the --with files it changed to --out-dir.\n"
                "\n"
                "Options:\n"
                "  --out OUT        the file to write (required)\n") +
        kWithOption + kOutDirOption + kIntegrityOptions,
    {},
    Delete,
    {"--out", "--with", "--out-dir"},
});

} // namespace
} // namespace vellum::cli
