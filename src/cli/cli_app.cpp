#include "cli/cli_app.h"

#include <memory>
#include <new>

#include "cli/cli_args.h"
#include "cli/command_convert.h"
#include "cli/command_mine.h"
#include "cli/command_processes.h"
#include "cli/command_relations.h"
#include "log/xml_errors.h"

namespace vesk::cli {

namespace {

std::vector<std::unique_ptr<Command>> all_commands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ProcessesCommand>());
    commands.push_back(std::make_unique<RelationsCommand>());
    commands.push_back(std::make_unique<MineCommand>());
    commands.push_back(std::make_unique<ConvertCommand>());
    return commands;
}

std::string general_usage(const std::vector<std::unique_ptr<Command>>& commands) {
    std::string text =
        "Usage: vesk-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "Vesk mines process models from workflow logs.\n"
        "\n"
        "Commands:\n";
    for (const auto& command : commands)
        text += "  " + command->name() + std::string(12 - command->name().size(), ' ') +
                command->summary() + "\n";
    text += "\nRun 'vesk-cli COMMAND --help' for the arguments of a command.\n";
    return text;
}

bool asks_for_help(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

int run_command(const Command& command, const std::vector<std::string>& args, Streams io) {
    try {
        return command.run(args, io);
    } catch (const UsageError& error) {
        io.err << "vesk-cli " << command.name() << ": " << error.what() << "\n\n"
               << command.usage();
        return kUsage;
    } catch (const XmlReadError& error) {
        io.err << kUnreadableFile << '\n' << error.what() << '\n';
    } catch (const LogFormatError& error) {
        io.err << error.what() << '\n';
    } catch (const std::bad_alloc&) {
        io.err << "vesk-cli " << command.name() << ": out of memory\n";
    } catch (const std::exception& error) {
        io.err << "vesk-cli " << command.name() << ": " << error.what() << '\n';
    }
    return kFailure;
}

}  // namespace

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const auto commands = all_commands();
        if (args.empty()) {
            err << general_usage(commands);
            return kUsage;
        }
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            out << general_usage(commands);
            return kSuccess;
        }
        for (const auto& command : commands) {
            if (command->name() != args[0]) continue;
            const std::vector<std::string> rest(args.begin() + 1, args.end());
            if (asks_for_help(rest)) {
                out << command->usage();
                return kSuccess;
            }
            return run_command(*command, rest, {out, err});
        }
        err << "vesk-cli: unknown command \"" << args[0] << "\"\n\n" << general_usage(commands);
        return kUsage;
    } catch (...) {
        err << "vesk-cli: unexpected failure\n";
        return kFailure;
    }
}

}  // namespace vesk::cli
