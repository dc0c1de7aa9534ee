#include "CliRunner.h"

#include "TestSupport.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace vellum::test {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

CliRun RunCli(const std::string& args, const std::filesystem::path& dir) {
    const std::string errFile = (dir / "stderr.txt").string();
    const std::string cmd = Quote((BinDir() / "vellum-cli").string()) + " " + args + " 2>" + Quote(errFile);
    CliRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    return r;
}

} // namespace vellum::test
