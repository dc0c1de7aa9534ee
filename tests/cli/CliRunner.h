#pragma once

#include <filesystem>
#include <string>

namespace vellum::test {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& s);
// Runs the built vellum-cli with `args` (already quoted), its output through files in `dir`.
CliRun RunCli(const std::string& args, const std::filesystem::path& dir);

} // namespace vellum::test
