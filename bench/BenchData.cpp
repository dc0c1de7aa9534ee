#include "BenchData.h"

#include <fstream>
#include <iterator>

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
        std::ifstream in(big, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

} // namespace vellum::bench
