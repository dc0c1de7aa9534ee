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
        text += std::string(ActionName(r.Action)) + " " + std::to_string(r.Generation) + " " + r.RecordType +
                " " + r.ID + " " + r.RecordKey + (r.SubRecordKey.empty() ? "" : "/" + r.SubRecordKey) + "\n";
    }
    Print(text);
    files.ProcessRelatives({}, nullptr);
    return f->Save(out, std::filesystem::path(out).filename().string(), false, nullptr) ? 0 : 1;
}

const CommandRegistration registration({
    "delete",
    "delete a record safely: with the records that depend on it, by the default actions",
    std::string("usage: vellum-cli delete [--template FILE] [--home DIR] FILE ID --out OUT\n"
                "\n"
                "Scans the descendants of the record with that ID generation by generation (safe\n"
                "editing on), prints every entry as\n"
                "  <Action> <generation> <TYPE> <ID> <RECORD KEY>[/<SUBRECORD KEY>]\n"
                "(Action: Delete, or Clear for a required reference that may be empty), carries the\n"
                "actions out and writes the result to OUT.\n"
                "\n"
                "Options:\n"
                "  --out OUT        the file to write (required)\n") + kIntegrityOptions,
    {},
    Delete,
    {"--out"},
});

} // namespace
} // namespace vellum::cli
