#include "CliSession.h"

#include <cstdio>
#include <filesystem>

namespace vellum::cli {

std::string ProgramFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

CliSession::CliSession(const Arguments& args) {
    const std::string path = args.templatePath.empty()
                                 ? (std::filesystem::path(ProgramFolder()) / "ESTemplate.ini").string()
                                 : args.templatePath;
    if (templ_.OpenFile(path) != 0)
        std::fprintf(stderr, "vellum-cli: cannot read the format template %s\n", path.c_str());
    codec_ = std::make_unique<PropertyCodec>(templ_);
}

} // namespace vellum::cli
