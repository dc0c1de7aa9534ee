#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vellum {

// Starts another program without waiting for it. The editor uses the process launcher; tests
// install one that records.
class ToolLauncher {
public:
    virtual ~ToolLauncher() = default;
    // Starts argv[0] (looked up on PATH when it has no "/") in `workingFolder`, detached from
    // this process. 0 when it started, else the errno of the failure.
    virtual int Start(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) = 0;
};

// fork/setsid/exec with a second fork, so the tool is reparented and never left a zombie;
// an exec failure comes back through a close-on-exec pipe.
class ProcessLauncher : public ToolLauncher {
public:
    int Start(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) override;
};

} // namespace vellum
