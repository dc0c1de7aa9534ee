#include "IntegritySession.h"

#include "index/RefIndexReader.h"
#include "model/esfile.h"

namespace vellum::cli {
namespace {

int Index(const Arguments& args) {
    if (args.files.size() != 1) return Fail("index", "give one file", 2);
    IntegritySession session(args);
    esfile* f = session.Open(args.files[0]);
    if (!f) return 1;
    ReferenceIndexer& indexer = session.Files().Indexer();
    if (!indexer.BuildIndex(*f, nullptr)) return 1;

    std::size_t refs = 0;
    RefIndexReader rdx;
    if (rdx.OpenRefIndex(indexer.RefIndexPath(*f))) {
        RefIndexView v;
        while (!rdx.bEndOfRefIndex && rdx.NextRefIndexView(v)) ++refs;
    }
    std::size_t ids = 0;
    for (const auto& c : f->esRecArrayCatIndex()) ids += c.value.esRecIDIndex.Count();
    Print("refs=" + std::to_string(refs) + " categories=" + std::to_string(f->esRecArrayCatIndex().Count()) +
          " ids=" + std::to_string(ids) + "\n");
    return 0;
}

const CommandRegistration registration({
    "index",
    "write a file's reference index (.rdx) and ID index (.idx)",
    std::string("usage: vellum-cli index [--template FILE] [--home DIR] FILE\n"
                "\n"
                "Loads FILE (which writes <Indices>/<name>.rdx) and writes <Indices>/<name>.idx.\n"
                "Prints \"refs=<N> categories=<C> ids=<I>\": the references in the .rdx, the record\n"
                "types and the IDs in the .idx.\n"
                "\n"
                "Options:\n") + kIntegrityOptions,
    {},
    Index,
});

} // namespace
} // namespace vellum::cli
