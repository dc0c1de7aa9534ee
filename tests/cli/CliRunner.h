#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vellum::test {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& s);
// Runs the built vellum-cli with `args` (already quoted), its output through files in `dir`.
CliRun RunCli(const std::string& args, const std::filesystem::path& dir);
// "--template <the program folder's ESTemplate.ini>", quoted.
std::string ShippedTemplateOption();
// The lines of a command's output, without their line feeds.
std::vector<std::string> OutputLines(const std::string& text);

} // namespace vellum::test
