#include "tools/ToolRunner.h"

#include "model/Prompt.h"
#include "tools/ToolEntry.h"
#include "tools/ToolLauncher.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

ToolRunner::Result ToolRunner::NotFound() {
    return CurrentPrompt().Ask(kNotFound, Buttons::YesNo) == Answer::Yes ? Result::OpenManager
                                                                         : Result::NotFound;
}

ToolRunner::Result ToolRunner::Run(std::string_view value) {
    auto tool = ToolEntry::Parse({}, value);
    if (!tool) return Result::Ignored;
    std::error_code ec;
    if (tool->Path.empty() || !fs::exists(tool->Path, ec)) return NotFound();
    fs::path path = fs::absolute(tool->Path, ec); // the tool starts in its own folder

    std::vector<std::string> argv;
    if (tool->Document)
        argv = {"xdg-open", path.string()};
    else
        argv = {path.string()};
    int error = launcher_.Start(argv, path.parent_path());
    if (error == 0) return Result::Started;
    if (error == ENOENT && !tool->Document) return NotFound();
    CurrentPrompt().Message("Error " + std::to_string(error) + ": " + std::strerror(error));
    return Result::Failed;
}

} // namespace vellum
