#include "CliSession.h"

#include "template/ProgramFolder.h"

#include <cstdio>
#include <filesystem>

namespace vellum::cli {

namespace {

Startup::Options OptionsOf(const Arguments& args) {
    Startup::Options o;
    o.folders = ProgramFolder::Find(args.homePath);
    o.templateFile = args.templatePath;
    o.findDataFolder = false; // no command needs the game's folder
    return o;
}

} // namespace

CliSession::CliSession(const Arguments& args) : startup_(OptionsOf(args)) {
    const std::filesystem::path path = args.templatePath.empty() ? startup_.Folders().TemplateFile()
                                                                 : std::filesystem::path(args.templatePath);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        std::fprintf(stderr, "vellum-cli: cannot read the format template %s\n", path.c_str());
    codec_ = std::make_unique<PropertyCodec>(startup_.TemplateConfig());
}

} // namespace vellum::cli
