#include "cli/command_relations.h"

#include <map>

#include "cli/cli_args.h"
#include "control/event_choice.h"
#include "control/vesk_util.h"

namespace vesk::cli {

namespace {

UsedEvents parse_events(const std::string& text) {
    UsedEvents events;
    events.complete = false;
    const std::map<std::string, bool UsedEvents::*> names = {
        {"schedule", &UsedEvents::schedule}, {"start", &UsedEvents::start},
        {"suspend", &UsedEvents::suspend},   {"complete", &UsedEvents::complete},
        {"withdraw", &UsedEvents::withdraw}, {"abort", &UsedEvents::abort}};
    for (const std::string& name : split_list(text, ',')) {
        const auto it = names.find(name);
        if (it == names.end())
            throw UsageError("unknown event type \"" + name +
                             "\" (use schedule, start, suspend, complete, withdraw, abort)");
        events.*(it->second) = true;
    }
    return events;
}

// Says which requested events the rules changed, so a shell user is not surprised.
void report_adjustments(const UsedEvents& asked, const UsedEvents& used, std::ostream& err) {
    const auto note = [&err](bool was, bool is, const char* name, const char* why) {
        if (was && !is) err << "note: " << name << " events are not used: " << why << '\n';
        if (!was && is) err << "note: " << name << " events are used as well: " << why << '\n';
    };
    note(asked.withdraw, used.withdraw, "withdraw", "they need schedule and complete");
    note(asked.abort, used.abort, "abort", "they need schedule or start, and complete");
    note(asked.suspend, used.suspend, "suspend", "they need schedule or start");
    note(asked.complete, used.complete, "complete",
         "without schedule or start, or with withdraw or abort, complete is needed");
}

}  // namespace

std::string RelationsCommand::usage() const {
    return "Usage: vesk-cli relations LOG --process ID [--events LIST] [--external-dtd]\n"
           "\n"
           "Reads process ID of the XML workflow log LOG, keeping the event types of LIST\n"
           "(default: complete), builds the ordering relations between its tasks and lists\n"
           "them: per task its loop length, direct predecessors (<) and successors (>),\n"
           "causal successors (->) and predecessors (<-), parallel tasks (||) and short-loop\n"
           "partners.\n"
           "\n"
           "  --process ID     the id of the process (see 'vesk-cli processes')\n"
           "  --events LIST    comma-separated: schedule,start,suspend,complete,withdraw,abort;\n"
           "                   suspend brings resume with it; withdraw needs schedule and\n"
           "                   complete, abort needs schedule or start and complete\n"
           "  --external-dtd   resolve the DTD the log names (local files only)\n";
}

int RelationsCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(
        args, {.with_value = {"process", "events"}, .flags = {"external-dtd"}, .repeatable = {}});
    if (parsed.positionals().size() != 1) throw UsageError("expected one LOG file");
    const auto process = parsed.value("process");
    if (!process) throw UsageError("--process ID is required");
    const UsedEvents asked = parse_events(parsed.value("events").value_or("complete"));
    const EventChoice choice = apply_event_choice(asked);
    report_adjustments(asked, choice.ticked, io.err);

    Tvesk_util controller;
    controller.load_log(parsed.positionals()[0], parsed.has("external-dtd"));
    controller.set_filter(event_filter_of(choice));
    controller.read_process(*process);
    controller.build_task_list();
    std::vector<std::string> lines;
    controller.relations_text(lines);
    for (const std::string& line : lines) io.out << line << '\n';
    return kSuccess;
}

}  // namespace vesk::cli
