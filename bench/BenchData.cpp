#include "BenchData.h"

#include <fstream>

namespace vellum::bench {

namespace {
std::filesystem::path big, program;
}

const std::filesystem::path& BigMaster() { return big; }
const std::filesystem::path& ProgramDir() { return program; }

void SetPaths(std::filesystem::path bigMaster, std::filesystem::path programDir) {
    big = std::move(bigMaster);
    program = std::move(programDir);
}

const Bytes& BigMasterBytes() {
    static const Bytes bytes = [] {
        std::error_code ec;
        const auto size = std::filesystem::file_size(big, ec);
        if (ec) return Bytes();
        Bytes out(size);
        std::ifstream in(big, std::ios::binary);
        in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
        out.resize(static_cast<std::size_t>(in.gcount()));
        return out;
    }();
    return bytes;
}

Loaded* LoadBigMaster(benchmark::State& state) {
    static std::unique_ptr<Loaded> loaded;
    if (loaded) return loaded.get();
    if (BigMaster().empty()) {
        state.SkipWithError("no synthetic master: pass --big FILE");
        return nullptr;
    }
    auto l = std::make_unique<Loaded>();
    if (l->templ.OpenFile((ProgramDir() / "ESTemplate.ini").string()) != 0) {
        state.SkipWithError("no ESTemplate.ini beside the benchmark");
        return nullptr;
    }
    l->codec = std::make_unique<PropertyCodec>(l->templ);
    l->file = std::make_unique<esfile>(*l->codec);
    if (l->file->LoadFile(BigMaster().string(), true, false) != esfile::kLoaded) {
        state.SkipWithError("the synthetic master does not load");
        return nullptr;
    }
    loaded = std::move(l);
    return loaded.get();
}

} // namespace vellum::bench
