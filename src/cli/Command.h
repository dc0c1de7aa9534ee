#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vellum::cli {

// Options every command understands, read from its arguments.
struct Arguments {
    std::string templatePath; // empty: the user's ESTemplate.ini
    std::string homePath;     // --home: one folder for everything; empty: found as the editor finds it
    bool help = false;
    std::vector<std::string> flags; // other "--name" options, in order
    std::vector<std::pair<std::string, std::string>> values; // "--name VALUE" options, in order
    std::vector<std::string> files;
    std::string error; // set when the arguments cannot be understood

    bool Has(const std::string& flag) const;
    // The last value given for a value option; `fallback` when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
};

// One subcommand of vellum-cli. Each lives in a file of its own and registers itself with a
// static CommandRegistration, so adding a command touches no other file.
struct Command {
    std::string name;
    std::string summary;                 // one line for the tool's --help
    std::string help;                    // the command's own --help
    std::vector<std::string> knownFlags; // besides --template, --home and --help
    int (*run)(const Arguments& args) = nullptr;
    std::vector<std::string> valueOptions = {}; // options followed by a value ("--mode 2")
};

const std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

// Parses `argv` after the command name; unknown options set `error`.
Arguments ParseArguments(const Command& command, const std::vector<std::string>& argv);

} // namespace vellum::cli
