#include "cli/command_mine.h"

#include <algorithm>
#include <cstdio>

#include "app/file_util.h"
#include "app/util_functions.h"
#include "cli/cli_common.h"
#include "control/relations_inspection.h"

namespace vesk::cli {

namespace {

const OptionSpec kOptions = {.with_value = {"process", "events", "overlap", "show", "relations",
                                            "log", "out", "stats", "colour", "orientation", "page"},
                             .flags = {"split-loops", "new-construction", "no-combine", "no-replay",
                                       "external-dtd", "render", "no-probabilities"},
                             .repeatable = {"overlap", "show"}};

// "waiting=mean,min,max;sync=mean;sojourn=max": groups not named show nothing.
ExportFlags export_flags_from(const ParsedArgs& args) {
    const std::string text =
        args.value("stats").value_or("waiting=mean,min,max;sync=mean,min,max;sojourn=mean,min,max");
    ExportFlags flags;
    for (const std::string& group : split_list(text, ';')) {
        if (group.empty()) continue;
        const auto equals = group.find('=');
        const std::string name = group.substr(0, equals);
        FigureChoice* choice = name == "waiting"   ? &flags.waiting
                               : name == "sync"    ? &flags.sync
                               : name == "sojourn" ? &flags.sojourn
                                                   : nullptr;
        if (choice == nullptr || equals == std::string::npos)
            throw UsageError("--stats: \"" + group +
                             "\" is not GROUP=FIGURES (groups: waiting, "
                             "sync, sojourn)");
        bool mean = false, variance = false, minimum = false, maximum = false;
        for (const std::string& figure : split_list(group.substr(equals + 1), ',')) {
            if (figure == "mean")
                mean = true;
            else if (figure == "variance" || figure == "var")
                variance = true;
            else if (figure == "min" || figure == "minimum")
                minimum = true;
            else if (figure == "max" || figure == "maximum")
                maximum = true;
            else if (!figure.empty())
                throw UsageError("--stats: unknown figure \"" + figure +
                                 "\" (mean, variance, min, max)");
        }
        *choice = figure_choice(mean, variance, minimum, maximum);
    }
    return flags;
}

// RRGGBB as the colour value the net takes: red in the lowest byte.
std::uint32_t colour_from(const ParsedArgs& args) {
    const std::string text = args.value("colour").value_or("A6CAF0");
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw UsageError("--colour expects six hexadecimal digits RRGGBB");
    const auto rgb = static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

DotOptions dot_options_from(const ParsedArgs& args) {
    DotOptions options;
    const std::string orientation = args.value("orientation").value_or("lr");
    if (orientation != "lr" && orientation != "tb") throw UsageError("--orientation is lr or tb");
    options.left_to_right = orientation == "lr";
    const std::string page = args.value("page").value_or("a4");
    if (page != "a4" && page != "letter") throw UsageError("--page is a4 or letter");
    options.page_size = page == "a4" ? "A4" : "Letter";
    return options;
}

// Runs dot as the two rendering commands do; a missing dot is said once.
void render(const std::filesystem::path& folder, const std::string& base, const DotOptions& options,
            Streams io) {
    const auto dot = find_dot(program_folder());
    if (!dot) {
        io.err << "dot (GraphViz) was found neither next to vesk-cli nor on PATH: no pictures "
                  "were made\n";
        return;
    }
    const std::string prefix = (folder / base.substr(0, base.size() - 1)).string();
    std::vector<std::string> runs = jpg_map_parameters(prefix, options);
    for (std::string& run : ps_jpg_parameters(prefix, options))
        runs.push_back(std::move(run));
    StageLine stage(io.err);
    stage.show("Rendering with dot");
    for (const std::string& parameters : runs) {
        if (run_program(*dot, parameters) != 0)
            io.err << "warning: dot failed on: " << parameters << '\n';
    }
}

void export_net(Tvesk_util& controller, const ParsedArgs& args, const std::string& base,
                Streams io) {
    const std::filesystem::path folder = output_folder_from(args);
    controller.set_cluster_colour(colour_from(args));
    controller.write_low_dot(folder, base, !args.has("no-probabilities"));
    controller.set_export_options(export_flags_from(args));
    controller.write_high_dot(folder, base);
    controller.write_text_net(folder, base);
    io.err << "Wrote the net into " << folder.string() << '\n';
    if (args.has("render")) render(folder, base, dot_options_from(args), io);
}

void check_export_options(const ParsedArgs& args) {
    if (args.has("out")) {
        export_flags_from(args);
        colour_from(args);
        dot_options_from(args);
        return;
    }
    for (const char* option :
         {"render", "stats", "colour", "no-probabilities", "orientation", "page"})
        if (args.has(option)) throw UsageError(std::string("--") + option + " needs --out DIR");
}

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
           "  --external-dtd        resolve the DTD a file names (local files only)\n"
           "\n"
           "Export (writes \"<LOG name> <ID> low.dot\", \"... high.dot\", \"... .tpn\", "
           "Default.htm and\n"
           "a page per place; with --relations the names start with the relations file's name):\n"
           "  --out DIR             the folder to write into (created when missing)\n"
           "  --render              run dot: image map, pictures and PostScript\n"
           "  --stats GROUPS        figures of the high-detail file, default\n"
           "                        "
           "\"waiting=mean,min,max;sync=mean,min,max;sojourn=mean,min,max\";\n"
           "                        figures: mean, variance, min, max; a group left out shows "
           "none\n"
           "  --colour RRGGBB       fill colour of the activity clusters (default A6CAF0)\n"
           "  --no-probabilities    no branching probabilities in the low-detail file\n"
           "  --orientation lr|tb   left to right (default) or top to bottom\n"
           "  --page a4|letter      page size of the PostScript file (default a4)\n";
}

int MineCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(args, kOptions);
    const auto shows = shows_from(parsed, {"relations", "net", "timing"});
    const auto construction = construction_from(parsed);
    const bool split = parsed.has("split-loops");
    const bool combine = !parsed.has("no-combine");
    const bool resolve = parsed.has("external-dtd");
    const auto process = parsed.value("process");
    check_export_options(parsed);

    Tvesk_util controller;
    RelationsInspection inspection(controller);
    StderrSink sink(io.err);
    StageLine stage(io.err);
    bool replayed = false;
    if (parsed.has("relations")) {
        if (!parsed.positionals().empty()) throw UsageError("give either LOG or --relations FILE");
        if (parsed.has("log") != process.has_value())
            throw UsageError("--log and --process go together with --relations");
        if (parsed.has("events") || parsed.has("overlap"))
            throw UsageError("--events and --overlap need a LOG to build relations from");
        stage.show("Reading relations");
        inspection.open_with_relations_file(*parsed.value("relations"), resolve, sink);
        stage.show("Building the net");
        inspection.make_petrinet(split, construction, combine);
        if (parsed.has("log") && !parsed.has("no-replay")) {
            stage.show("Reading the log and replaying it");
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
        stage.show("Reading Workflow-log");
        build_relations(controller, request,
                        [&stage](const std::string& status) { stage.show(status); });
        inspection.open_with_task_list();
        stage.show("Building the net");
        inspection.make_petrinet(split, construction, combine);
        if (!parsed.has("no-replay")) {
            stage.show("Replaying the log");
            // The log in memory was read with the same event types: replay it as it is.
            controller.replay(false, sink);
            replayed = true;
        }
    }
    print_findings(controller, replayed, io.out);
    print_listings(controller, shows, io.out);
    if (parsed.has("out")) {
        const std::string base = parsed.has("relations")
                                     ? file_name_without_xml(*parsed.value("relations"))
                                     : file_name_part(parsed.positionals()[0]) + " " + *process;
        stage.show("Writing the net");
        export_net(controller, parsed, base + " ", io);
    }
    return kSuccess;
}

}  // namespace vesk::cli
