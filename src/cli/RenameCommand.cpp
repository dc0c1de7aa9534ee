#include "IntegritySession.h"

#include "index/ChangeRecordID.h"
#include "index/HistoryScope.h"
#include "model/esfile.h"

namespace vellum::cli {
namespace {

class PrintChanges : public esCallbackStringValue {
public:
    void CallBack(std::string_view text, std::string_view) override { out.append(text).push_back('\n'); }
    std::string out;
};

int Rename(const Arguments& args) {
    const std::string out = args.Value("--out");
    if (args.files.size() != 3 || out.empty())
        return Fail("rename", "give a file, the old and the new ID and --out OUT", 2);
    if (!args.Values("--with").empty() && args.Value("--out-dir").empty())
        return Fail("rename", "give --out-dir DIR for the --with files", 2);
    IntegritySession session(args);
    esfile* f = nullptr;
    const int index = session.OpenRecord("rename", args.files[0], args.files[1], f);
    if (index < 0) return 1;
    HistoryScope step(session.Files().History(), "Change ID"); // the --with files it repairs too
    if (!ChangeRecordID(*f, index, args.files[2]))
        return Fail("rename", "the ID of " + f->Records()[static_cast<std::size_t>(index)].Key +
                                  " cannot be changed to '" + args.files[2] + "'");

    const RecordEntry& r = f->Records()[static_cast<std::size_t>(index)];
    esCheckedEntries changes;
    esCheckedEntry& c = changes.Add(f->FileName + "." + r.Key, f->FileName, r.Key);
    c.OldID = r.PreviousID;
    c.NewID = r.ID;
    PrintChanges printer;
    session.Files().ChangeIDReferences(f->FileName, changes, true, &printer, args.Has("--rewrite-scripts"));
    Print(printer.out + session.UnchangedLines());
    const bool saved = f->Save(out, std::filesystem::path(out).filename().string(), false, nullptr);
    return session.SaveCompanions("rename") && saved ? 0 : 1;
}

const CommandRegistration registration({
    "rename",
    "change a record's ID and repair every reference to it in the file",
    std::string("usage: vellum-cli rename [--template FILE] [--home DIR] FILE OLD NEW --out OUT\n"
                "                         [--with FILE]... [--out-dir DIR] [--rewrite-scripts]\n"
                "\n"
                "Gives the record with the ID OLD the ID NEW and rewrites every property of FILE and\n"
                "of the --with files that refers to OLD (where it may name a record of that type),\n"
                "every result script and condition that names it, and with --rewrite-scripts the\n"
                "script source that names it. Prints one line per change:\n"
                "  <file>/<RECORD KEY> (<record ID>)/<SUBRECORD KEY>  <Property>: OLD -> NEW\n"
                "(a rewritten script source says that it must be recompiled), then one line per place\n"
                "that still names OLD:\n"
                "  unchanged: <file>/<RECORD KEY> (<record ID>)/<SUBRECORD KEY> <reason>\n"
                "and writes the result to OUT, the --with files it changed to --out-dir. The ID may\n"
                "not be taken by another record of the type.\n"
                "\n"
                "Options:\n"
                "  --out OUT        the file to write (required)\n"
                "  --rewrite-scripts  rewrite script source too (recompile those scripts after)\n") +
        kWithOption + kOutDirOption + kIntegrityOptions,
    {"--rewrite-scripts"},
    Rename,
    {"--out", "--with", "--out-dir"},
});

} // namespace
} // namespace vellum::cli
