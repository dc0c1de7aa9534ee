#include "CliRunner.h"

#include "TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

namespace vellum::test {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

CliRun RunCli(const std::string& args, const std::filesystem::path& dir) {
    const std::string out = (dir / "stdout.txt").string(), err = (dir / "stderr.txt").string();
    const int status = std::system(
        (Quote((BinDir() / "vellum-cli").string()) + " " + args + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
    auto text = [](const std::string& file) {
        const auto bytes = ReadBytes(file);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(out), text(err)};
}

std::string ShippedTemplateOption() { return "--template " + Quote((BinDir() / "ESTemplate.ini").string()); }

std::vector<std::string> OutputLines(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        out.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

} // namespace vellum::test
