#include "CliRunner.h"

#include "TestSupport.h"

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

} // namespace vellum::test
