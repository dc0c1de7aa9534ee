// Data files of any shape: load, unpack every record, decode every subrecord with the shipped
// template, pack back and save. Nothing may crash, hang or allocate beyond what the input holds.
#include "FuzzSupport.h"

#include "model/FileWriter.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The program's writer without the fsync, which would bound the run to the disk's pace.
class NoSyncWriter final : public vellum::PosixFileWriter {
public:
    bool Flush() override { return true; }
};

// One template, one codec and one pair of temp paths for the whole run: the input changes,
// not the setting.
struct Setting {
    vellum::Config templ;
    std::unique_ptr<vellum::PropertyCodec> codec;
    fs::path dir, input, output;
    NoSyncWriter writer;

    Setting() {
        templ.OpenFile(VELLUM_TEMPLATE_FILE);
        codec = std::make_unique<vellum::PropertyCodec>(templ);
        codec->ParseTemplate();
        dir = fs::temp_directory_path() / ("vellum-fuzz-file-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        input = dir / "input.esp";
        output = dir / "output.esp";
    }
    ~Setting() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Setting& TheSetting() {
    static Setting s;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellum;
    fuzz::InstallSilentPrompt();
    Setting& s = TheSetting();
    if (std::FILE* f = std::fopen(s.input.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }

    esfile file(*s.codec);
    file.SetFileWriter(&s.writer);
    if (file.LoadFile(s.input.string(), true, true) != esfile::kLoaded) return 0;
    (void)file.FileType();
    for (int i = 0; i <= file.LastIndex(); ++i) {
        file.UnPackRecord(i);
        const auto& subs = file.Records()[static_cast<std::size_t>(i)].SubRecords;
        if (!subs) continue;
        std::vector<std::string> keys;
        for (const auto& e : *subs) keys.push_back(e.key);
        for (const std::string& k : keys) file.UnpackSubRecord(i, k);
        (void)file.GetID(i);
    }
    // Half the records go back packed, half are saved from their decoded state.
    for (int i = 0; i <= file.LastIndex(); i += 2) file.PackRecord(i);
    file.Save(s.output.string());
    std::error_code ec;
    fs::remove(s.output, ec);
    return 0;
}
