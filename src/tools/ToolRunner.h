#pragma once

#include <string>
#include <string_view>

namespace vellum {

class ToolLauncher;

// Starts a tool of the Tools menu from its settings value ("category,path,flag"): a program
// in its own folder, a document (text files included) with the desktop's associated
// program through xdg-open.
class ToolRunner {
public:
    enum class Result {
        Started,
        Ignored,     // a value with fewer than three fields
        NotFound,    // the user chose to leave it as it is
        OpenManager, // the user asked for the tool management window
        Failed,      // reported as "Error <n>: <description>"
    };

    static constexpr std::string_view kNotFound =
        "The selected program was not found. Would you like to open the tool management window to "
        "locate / remove it (Yes), or leave it as it it (No)";

    explicit ToolRunner(ToolLauncher& launcher) : launcher_(launcher) {}
    Result Run(std::string_view value);

private:
    Result NotFound();
    ToolLauncher& launcher_;
};

} // namespace vellum
