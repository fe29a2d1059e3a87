#include "cli/command_mine.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_common.h"
#include "control/relations_inspection.h"

namespace vesk::cli {

namespace {

const OptionSpec kOptions = {
    .with_value = {"process", "events", "overlap", "show", "relations", "log"},
    .flags = {"split-loops", "new-construction", "no-combine", "no-replay", "external-dtd"},
    .repeatable = {"overlap", "show"}};

std::string figure(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

void print_findings(Tvesk_util& controller, bool replayed, std::ostream& out) {
    Tpetrinet& net = controller.net();
    out << "Net: " << net.transitions().size() << " transitions, " << net.places().size()
        << " places, " << net.arcs().size() << " arcs\n";
    if (!replayed) return;
    out << "Replayed: " << controller.log().size() << " events of " << controller.case_count()
        << " cases\n";
    out << "Unfired tasks:";
    if (net.unfired_tasks.empty()) out << " none";
    for (const Ttask* task : net.unfired_tasks)
        out << "\n  " << task->name();
    out << "\nSafe: " << (net.is_safe ? "yes" : "no") << '\n';
    out << "Tokens left: " << (net.tokens_left ? "yes" : "no") << '\n';
    const TStoch_var& flow = controller.flow_time();
    out << "Flow time (minutes): observations " << flow.Nr_of_observations() << ", mean "
        << figure(flow.Mean()) << ", variance " << figure(flow.Variance()) << ", minimum "
        << figure(flow.Minimum()) << ", maximum " << figure(flow.Maximum()) << '\n';
}

void print_listings(Tvesk_util& controller, const std::vector<std::string>& shows,
                    std::ostream& out) {
    for (const std::string& show : shows) {
        std::vector<std::string> lines;
        if (show == "relations") controller.relations_text(lines);
        if (show == "net") controller.net_text(lines);
        if (show == "timing") controller.timing_text(lines);
        for (const std::string& line : lines)
            out << line << '\n';
    }
}

RelationsInspection::Construction construction_from(const ParsedArgs& args) {
    if (args.has("no-combine") && !args.has("new-construction"))
        throw UsageError("--no-combine belongs to --new-construction");
    return args.has("new-construction") ? RelationsInspection::Construction::second
                                        : RelationsInspection::Construction::alpha;
}

}  // namespace

std::string MineCommand::usage() const {
    return "Usage: vesk-cli mine LOG --process ID [--events LIST] [--overlap START:STOP]...\n"
           "                     [--split-loops] [--new-construction [--no-combine]]\n"
           "                     [--no-replay] [--show relations|net|timing]...\n"
           "       vesk-cli mine --relations FILE [--log LOG --process ID] [...]\n"
           "\n"
           "Builds the ordering relations of process ID of LOG (as 'vesk-cli relations' does),\n"
           "or takes them from a relations FILE, rediscovers a Petri net from them and replays\n"
           "the log on the net. Prints the size of the net and what the replay found: tasks\n"
           "that had to fire while not enabled, whether a place ever held two tokens, whether\n"
           "cases left tokens behind, and the flow time of the cases in minutes.\n"
           "\n"
           "  --process ID          the id of the process (see 'vesk-cli processes')\n"
           "  --events LIST         event types to read (default: complete), as for 'relations'\n"
           "  --overlap START:STOP  the overlap refinement, as for 'relations'; may be repeated\n"
           "  --split-loops         split short loops into copies instead of setting them aside\n"
           "  --new-construction    build the net with invisible transitions\n"
           "  --no-combine          with --new-construction: keep redundant places\n"
           "  --no-replay           build the net only\n"
           "  --relations FILE      start from a relations file\n"
           "  --log LOG             with --relations: the log to replay (needs --process); it is\n"
           "                        read with the event types that occur in the relations\n"
           "  --show LISTING        also print the relations, the net or the timing per place;\n"
           "                        may be repeated\n"
           "  --external-dtd        resolve the DTD a file names (local files only)\n";
}

int MineCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(args, kOptions);
    const auto shows = shows_from(parsed, {"relations", "net", "timing"});
    const auto construction = construction_from(parsed);
    const bool split = parsed.has("split-loops");
    const bool combine = !parsed.has("no-combine");
    const bool resolve = parsed.has("external-dtd");
    const auto process = parsed.value("process");

    Tvesk_util controller;
    RelationsInspection inspection(controller);
    StderrSink sink(io.err);
    bool replayed = false;
    if (parsed.has("relations")) {
        if (!parsed.positionals().empty()) throw UsageError("give either LOG or --relations FILE");
        if (parsed.has("log") != process.has_value())
            throw UsageError("--log and --process go together with --relations");
        if (parsed.has("events") || parsed.has("overlap"))
            throw UsageError("--events and --overlap need a LOG to build relations from");
        inspection.open_with_relations_file(*parsed.value("relations"), resolve, sink);
        inspection.make_petrinet(split, construction, combine);
        if (parsed.has("log") && !parsed.has("no-replay")) {
            controller.load_log_plainly(*parsed.value("log"), resolve);
            inspection.replay_process(*process, false, sink);
            replayed = true;
        }
    } else {
        if (parsed.positionals().size() != 1) throw UsageError("expected one LOG file");
        if (!process) throw UsageError("--process ID is required");
        if (parsed.has("log")) throw UsageError("--log belongs to --relations");
        BuildRelationsRequest request;
        request.process_id = *process;
        request.events = event_choice_from(parsed, io.err);
        request.overlaps = overlap_variants_from(parsed, request.events);
        controller.load_log(parsed.positionals()[0], resolve);
        build_relations(controller, request);
        inspection.open_with_task_list();
        inspection.make_petrinet(split, construction, combine);
        if (!parsed.has("no-replay")) {
            // The log in memory was read with the same event types: replay it as it is.
            controller.replay(false, sink);
            replayed = true;
        }
    }
    print_findings(controller, replayed, io.out);
    print_listings(controller, shows, io.out);
    return kSuccess;
}

}  // namespace vesk::cli
