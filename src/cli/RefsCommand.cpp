#include "IntegritySession.h"

#include "index/References.h"
#include "model/esfile.h"

namespace vellum::cli {
namespace {

int Refs(const Arguments& args) {
    if (args.files.size() != 2) return Fail("refs", "give a file and an ID", 2);
    IntegritySession session(args);
    esfile* f = nullptr;
    const int index = session.OpenRecord("refs", args.files[0], args.files[1], f);
    if (index < 0) return 1;
    std::string out;
    for (const ReferenceRow& row : BrowseReferences(session.Files(), f->FileName, index, nullptr)) {
        out += row.Type == ReferenceRow::Ancestor  ? "ancestor "
               : row.Type == ReferenceRow::Mention ? "mention "
                                                   : "descendant ";
        out += row.RecordType + " " + row.ID + " " + row.SubrecordType + "." + row.PropertyName +
               session.InFile(row.FileKey) + "\n";
    }
    Print(out);
    return 0;
}

const CommandRegistration registration({
    "refs",
    "list what a record refers to and what refers to it, as the references browser does",
    std::string("usage: vellum-cli refs [--template FILE] [--home DIR] FILE ID [--with FILE]...\n"
                "\n"
                "Loads FILE (writing its reference index) and prints, for the record with that ID:\n"
                "  ancestor <TYPE> <ID> <SUBRECORD>.<PROPERTY>    a record its property names\n"
                "  descendant <TYPE> <ID> <SUBRECORD>.<PROPERTY>  a record whose property names it\n"
                "  mention <TYPE> <ID> <SUBRECORD>.<PROPERTY>     a record whose script text or\n"
                "                                                 condition names it\n"
                "each followed by \" in <file>\" when the record lies in a --with file.\n"
                "\n"
                "Options:\n") +
        kWithOption + kIntegrityOptions,
    {},
    Refs,
    {"--with"},
});

} // namespace
} // namespace vellum::cli
