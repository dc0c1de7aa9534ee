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

std::string Arguments::Value(const std::string& option, const std::string& fallback) const {
    for (auto it = values.rbegin(); it != values.rend(); ++it)
        if (it->first == option) return it->second;
    return fallback;
}

std::vector<std::string> Arguments::All(const std::string& option) const {
    std::vector<std::string> out;
    for (const auto& [name, value] : values)
        if (name == option) out.push_back(value);
    return out;
}

const std::vector<Command>& Commands() {
    std::vector<Command>& commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    return commands;
}

CommandRegistration::CommandRegistration(Command command) { Registry().push_back(std::move(command)); }

Arguments ParseArguments(const Command& command, const std::vector<std::string>& argv) {
    auto takesValue = [&](const std::string& name) {
        return name == "--template" || name == "--home" ||
               std::find(command.valueOptions.begin(), command.valueOptions.end(), name) != command.valueOptions.end();
    };
    Arguments args;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            args.files.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help") {
            args.help = true;
        } else if (takesValue(name)) {
            // "--name VALUE" or "--name=VALUE"
            if (eq == std::string::npos && i + 1 >= argv.size()) {
                args.error = name + " needs a value";
                return args;
            }
            std::string value = eq == std::string::npos ? argv[++i] : a.substr(eq + 1);
            if (name == "--template") args.templatePath = std::move(value);
            else if (name == "--home") args.homePath = std::move(value);
            else args.values.emplace_back(name, std::move(value));
        } else if (std::find(command.knownFlags.begin(), command.knownFlags.end(), a) != command.knownFlags.end()) {
            args.flags.push_back(a);
        } else {
            args.error = "unknown option " + a;
            return args;
        }
    }
    return args;
}

} // namespace vellum::cli
