#include "cli/cli_app.h"

#include <unistd.h>
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include <algorithm>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>

#include "base/attribute_errors.h"
#include "base/build_info.h"
#include "base/file_util.h"
#include "base/read_errors.h"
#include "cli/command_attributes.h"
#include "cli/command_convert.h"
#include "cli/command_map.h"
#include "cli/command_mine.h"
#include "cli/command_processes.h"
#include "cli/command_relations.h"
#include "cli/command_resources.h"
#include "cli/console.h"

namespace vesk::cli {

namespace {

std::vector<std::unique_ptr<Command>> all_commands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ProcessesCommand>());
    commands.push_back(std::make_unique<RelationsCommand>());
    commands.push_back(std::make_unique<MineCommand>());
    commands.push_back(std::make_unique<MineCommand>(true));
    commands.push_back(std::make_unique<MapCommand>());
    commands.push_back(std::make_unique<AttributesCommand>());
    commands.push_back(std::make_unique<ResourcesCommand>());
    commands.push_back(std::make_unique<ConvertCommand>());
    return commands;
}

// Breaks every paragraph of the text into lines of at most `width` characters.
std::string wrapped(const std::string& text, std::size_t width) {
    std::string result;
    std::string::size_type begin = 0;
    while (begin <= text.size()) {
        const auto end = std::min(text.find('\n', begin), text.size());
        std::string line;
        std::string::size_type word = begin;
        while (word < end) {
            auto blank = text.find(' ', word);
            if (blank == std::string::npos || blank > end) blank = end;
            const std::string piece = text.substr(word, blank - word);
            if (!line.empty() && line.size() + 1 + piece.size() > width) {
                result += line + '\n';
                line.clear();
            }
            line += (line.empty() ? "" : " ") + piece;
            word = blank + 1;
        }
        result += line;
        if (end >= text.size()) break;
        result += '\n';
        begin = end + 1;
    }
    return result;
}

// CLI11's layout with long texts folded to the width of a terminal.
class WrappingFormatter : public CLI::Formatter {
public:
    static constexpr std::size_t kWidth = 79;
    static constexpr std::size_t kColumn = 26;

    WrappingFormatter() { column_width(kColumn); }

    std::string make_option_desc(const CLI::Option* option) const override {
        return wrapped(CLI::Formatter::make_option_desc(option), kWidth - kColumn);
    }
    std::string make_footer(const CLI::App* app) const override {
        const std::string footer = app->get_footer();
        return footer.empty() ? std::string() : wrapped(footer, kWidth) + '\n';
    }
    std::string make_description(const CLI::App* app) const override {
        return wrapped(CLI::Formatter::make_description(app), kWidth);
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        std::stringstream out;
        CLI::detail::format_help(out, sub->get_name(),
                                 wrapped(sub->get_description(), kWidth - kColumn), kColumn);
        return out.str();
    }
};

std::string version_text() {
    return std::string(kProgramName) + " " + kVeskVersion +
           "\nLicensed under the Apache License, Version 2.0; the libraries it uses and their "
           "licences are listed in NOTICE.";
}

// The command whose options were being read when the parse stopped, if any.
const CLI::App* chosen_subcommand(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
}

int usage_error(const CLI::App& app, const std::string& problem, Console& console) {
    const CLI::App* sub = chosen_subcommand(app);
    console.error(problem);
    console.error_lines(std::string("Try '") + kProgramName + " " +
                        (sub != nullptr ? sub->get_name() + " --help'." : "--help'."));
    return kUsage;
}

// A script that asked for JSON gets the failure as JSON on stdout too.
void errors_as_json(const Command& command, const std::vector<std::string>& errors,
                    Console& console) {
    if (!command.writes_json()) return;
    console.out() << nlohmann::json{{"errors", errors}}.dump(
                         2, ' ', false, nlohmann::json::error_handler_t::replace)
                  << '\n';
}

// Runs the chosen command; every failure becomes a message and an exit status.
int run_command(Command& command, Console& console) {
    std::vector<std::string> errors;
    try {
        return command.run(console);
    } catch (const UsageError& error) {
        errors_as_json(command, {error.what()}, console);
        throw;
    } catch (const AttributeConditionError& error) {
        // A key or condition the log cannot take is wrong use, like an unknown option.
        errors_as_json(command, {error.what()}, console);
        throw UsageError(error.what());
    } catch (const XmlReadError& error) {
        errors = {kUnreadableFile, error.what()};
    } catch (const LogFormatError& error) {
        errors = {error.what()};
    } catch (const std::bad_alloc&) {
        errors = {command.name() + ": out of memory"};
    } catch (const std::exception& error) {
        errors = {command.name() + ": " + error.what()};
    }
    for (const std::string& error : errors)
        console.error_lines(error);
    errors_as_json(command, errors, console);
    return kFailure;
}

}  // namespace

namespace {

const char* const kTimingsHelp =
    "print the time of each stage (read, relations, facts, net, replay, export) on stderr";

// The program's options and commands, declared once. It stays where it is made: the parser
// holds pointers to its members.
struct CommandLine {
    CLI::App app{
        "Vesk mines process models from workflow logs: it builds the ordering relations of a "
        "process, rediscovers a Petri net, replays the log on it and exports the result.",
        kProgramName};
    bool quiet = false;
    bool timings = false;
    std::vector<std::unique_ptr<Command>> commands = all_commands();
    std::vector<std::pair<CLI::App*, Command*>> subcommands;

    CommandLine() {
        app.set_version_flag("--version", version_text(), "print the program's name and version");
        app.require_subcommand(1);
        app.footer("Run 'vesk-cli COMMAND --help' for the arguments of a command.");
        app.formatter(std::make_shared<WrappingFormatter>());
        app.add_flag("--timings", timings, kTimingsHelp);
        for (auto& command : commands) {
            CLI::App* sub = app.add_subcommand(command->name(), command->summary());
            sub->add_flag("-q,--quiet", quiet, "print nothing on stderr but errors");
            sub->add_flag("--timings", timings, kTimingsHelp);
            command->declare(*sub);
            subcommands.emplace_back(sub, command.get());
        }
    }
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;
};

// The exit status when the arguments end the run (help, version, a usage error).
std::optional<int> parse(CommandLine& line, const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err, Console& console) {
    // The program's own options are flags, so the first word that is no option names the
    // command.
    const auto word = std::find_if(args.begin(), args.end(),
                                   [](const std::string& arg) { return !arg.starts_with("-"); });
    std::string known;
    bool found = word == args.end();
    for (const auto& [sub, command] : line.subcommands) {
        known += (known.empty() ? "" : ", ") + sub->get_name();
        found = found || sub->check_name(*word);
    }
    if (!found)
        return usage_error(
            line.app, "unknown command \"" + *word + "\" (the commands: " + known + ")", console);
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        line.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << line.app.help();
        return kSuccess;
    } catch (const CLI::CallForVersion&) {
        out << version_text() << '\n';
        return kSuccess;
    } catch (const CLI::ParseError& error) {
        if (args.empty()) {
            err << line.app.help();
            return kUsage;
        }
        // The parse failed, so the format is looked for in the words themselves.
        const bool json =
            std::find(args.begin(), args.end(), "--format=json") != args.end() ||
            std::adjacent_find(args.begin(), args.end(), [](const auto& a, const auto& b) {
                return a == "--format" && b == "json";
            }) != args.end();
        if (json)
            out << nlohmann::json{{"errors", {std::string(error.what())}}}.dump(
                       2, ' ', false, nlohmann::json::error_handler_t::replace)
                << '\n';
        return usage_error(line.app, error.what(), console);
    }
    return std::nullopt;
}

}  // namespace

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    Console console(out, err, terminal);
    try {
        CommandLine line;
        if (const std::optional<int> code = parse(line, args, out, err, console)) return *code;
        console.set_quiet(line.quiet);
        console.set_timed(line.timings);
        for (auto& [sub, command] : line.subcommands) {
            if (!sub->parsed()) continue;
            try {
                const int code = run_command(*command, console);
                console.print_timings();
                return code;
            } catch (const UsageError& error) {
                return usage_error(line.app, error.what(), console);
            }
        }
        return kUsage;
    } catch (...) {
        console.error("unexpected failure");
        return kFailure;
    }
}

}  // namespace vesk::cli
