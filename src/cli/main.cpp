#include "Command.h"

#include "ProgramVersion.h"
#include "template/ProgramFolder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintToolHelp(std::FILE* out) {
    std::fputs("vellum-cli: command-line companion of the Vellum editor\n"
               "usage: vellum-cli COMMAND [options] FILE...\n"
               "\n"
               "Commands:\n",
               out);
    for (const auto& c : vellum::cli::Commands())
        std::fprintf(out, "  %-8s %s\n", c.name.c_str(), c.summary.c_str());
    std::fprintf(out,
                 "\n"
                 "Options:\n"
                 "  -h, --help  this text\n"
                 "  --version   print the version\n"
                 "Run 'vellum-cli COMMAND --help' for the options of a command.\n"
                 "\n"
                 "Files (each command's --home DIR puts them all in DIR):\n%s",
                 vellum::ProgramFolder::Find().Listing().c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintToolHelp(stdout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::printf("vellum-cli %s\n", vellum::kVersionText);
        return 0;
    }
    for (const auto& command : vellum::cli::Commands()) {
        if (command.name != args[0]) continue;
        vellum::cli::Arguments parsed =
            vellum::cli::ParseArguments(command, std::vector<std::string>(args.begin() + 1, args.end()));
        if (parsed.help) {
            std::fputs(command.help.c_str(), stdout);
            return 0;
        }
        if (!parsed.error.empty()) {
            std::fprintf(stderr, "vellum-cli %s: %s\n\n%s", command.name.c_str(), parsed.error.c_str(),
                         command.help.c_str());
            return 2;
        }
        return command.run(parsed);
    }
    std::fprintf(stderr, "vellum-cli: unknown command '%s'\n\n", args[0].c_str());
    PrintToolHelp(stderr);
    return 2;
}
