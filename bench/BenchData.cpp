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

} // namespace vellum::bench
