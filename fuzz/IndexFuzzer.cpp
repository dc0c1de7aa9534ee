// Index files of any shape: the same bytes read as a reference index (.rdx) entry by entry and
// as an ID index (.idx) through each of its readers.
#include "FuzzSupport.h"

#include "index/IdxFile.h"
#include "index/RefIndexReader.h"
#include "index/esCheckedEntries.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// One folder for the whole run, removed at exit.
struct Folder {
    fs::path dir = fs::temp_directory_path() / ("vellum-fuzz-index-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(dir); }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void Put(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellum;
    fuzz::InstallSilentPrompt();
    static Folder folder;
    const fs::path rdx = RefIndexPath(folder.dir, "f.esp");
    Put(rdx, data, size);
    Put(IdxPath(folder.dir, "f.esp"), data, size);

    RefIndexReader reader;
    if (reader.OpenRefIndex(rdx)) {
        RefIndexView view;
        while (!reader.bEndOfRefIndex && reader.NextRefIndexView(view)) {}
        reader.CloseRefIndex();
    }
    if (reader.OpenRefIndex(rdx)) {
        while (!reader.bEndOfRefIndex) (void)reader.NextRefIndexEntry();
        reader.CloseRefIndex();
    }

    esCheckedEntries ids;
    for (const char* type : {"NPC_", "TES3"}) {
        (void)IdxHasCategory(folder.dir, "f.esp", type);
        (void)IdxHasID(folder.dir, "f.esp", type, "fargoth", nullptr);
        (void)LoadIdxCategoryIDs(folder.dir, "f.esp", type, ids);
    }
    return 0;
}
