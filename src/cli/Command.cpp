#include "Command.h"

#include <algorithm>

namespace vellum::cli {

namespace {
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}
} // namespace

bool Arguments::Has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string Arguments::Value(const std::string& option) const {
    for (const auto& [name, value] : values)
        if (name == option) return value;
    return {};
}

const std::vector<Command>& Commands() {
    std::vector<Command>& commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    return commands;
}

CommandRegistration::CommandRegistration(Command command) { Registry().push_back(std::move(command)); }

Arguments ParseArguments(const Command& command, const std::vector<std::string>& argv) {
    Arguments args;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            args.files.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help") {
            args.help = true;
        } else if (a == "--template") {
            if (i + 1 >= argv.size()) {
                args.error = "--template needs a file";
                return args;
            }
            args.templatePath = argv[++i];
        } else if (a.rfind("--template=", 0) == 0) {
            args.templatePath = a.substr(11);
        } else if (std::find(command.valueOptions.begin(), command.valueOptions.end(), a) !=
                   command.valueOptions.end()) {
            if (i + 1 >= argv.size()) {
                args.error = a + " needs a value";
                return args;
            }
            args.values.emplace_back(a, argv[++i]);
        } else if (std::find(command.knownFlags.begin(), command.knownFlags.end(), a) !=
                   command.knownFlags.end()) {
            args.flags.push_back(a);
        } else {
            args.error = "unknown option " + a;
            return args;
        }
    }
    return args;
}

} // namespace vellum::cli
