#include "cli/command_processes.h"

#include "cli/cli_args.h"
#include "control/vesk_util.h"

namespace vesk::cli {

std::string ProcessesCommand::usage() const {
    return "Usage: vesk-cli processes LOG [--external-dtd]\n"
           "\n"
           "Lists the processes of the XML workflow log LOG, one a line, as\n"
           "\"ID (description)\" or \"ID (none)\".\n"
           "\n"
           "  --external-dtd  resolve the DTD the log names (local files only)\n";
}

int ProcessesCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(args, {.with_value = {}, .flags = {"external-dtd"}, .repeatable = {}});
    if (parsed.positionals().size() != 1) throw UsageError("expected one LOG file");
    Tvesk_util controller;
    controller.load_log(parsed.positionals()[0], parsed.has("external-dtd"));
    for (const std::string& entry : controller.list_processes())
        io.out << entry << '\n';
    return kSuccess;
}

}  // namespace vesk::cli
