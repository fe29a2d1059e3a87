#include "cli/command_mine.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/file_util.h"
#include "base/number_format.h"
#include "base/util_functions.h"
#include "cli/cli_common.h"
#include "cli/conformance_output.h"
#include "cli/console.h"
#include "cli/mine_help.h"
#include "cli/mine_json.h"
#include "cli/mine_text.h"
#include "cli/option_checks.h"
#include "control/map_run.h"
#include "control/mine_run.h"
#include "control/read_warnings.h"

namespace vesk::cli {

namespace {

// "waiting=mean,min,max;sync=mean;sojourn=max": groups not named show nothing.
ExportFlags export_flags_from(const std::string& text) {
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
                             "\" is not GROUP=FIGURES (groups: waiting, sync, sojourn)");
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

// RRGGBB as the colour value the net takes.
std::uint32_t colour_from(const std::string& text) {
    const std::optional<std::uint32_t> colour = colour_of_rrggbb(text);
    if (!colour) throw UsageError("--colour expects six hexadecimal digits RRGGBB");
    return *colour;
}

void print_listings(Tvesk_util& controller, const std::vector<std::string>& shows,
                    Console& console) {
    for (const std::string& show : shows)
        for (const std::string& line : listing(controller, show))
            console.out() << line << '\n';
}

}  // namespace

void MineCommand::declare_construction(CLI::App& app) {
    construction_option_ =
        app.add_option("--construction", construction_,
                       "alpha (default): places from the ordering relations; new: with invisible "
                       "transitions; inductive: a sound workflow net from a process tree found in "
                       "the log, with infrequent behaviour filtered out (see --noise)")
            ->check(CLI::IsMember({"alpha", "new", "inductive"}));
    app.add_flag("--new-construction", new_construction_, "the same as --construction new");
    net_option_ = app.add_option("--net", net_file_,
                                 "replay the log on the net of this PNML file instead of "
                                 "constructing one (visible transitions are matched to the "
                                 "log's activities by their labels: activity, or activity+event)");
    noise_option_ =
        app.add_option_function<std::string>(
               "--noise",
               [this](const std::string& value) {
                   noise_auto_ = value == "auto";
                   if (!noise_auto_) noise_ = std::stod(value);
               },
               "with --construction inductive: the share of behaviour treated as infrequent and "
               "left out, 0 to 1 (default 0.2); 0 keeps everything, and the log then fits the "
               "net; auto mines at 0, 0.05, 0.1, 0.2, 0.3 and 0.4, each also with an activity "
               "repeated in a case weighed by its pairs of events rather than by its events "
               "(\"by pairs\", where that gives another net), aligns the log (its " +
                   std::to_string(kNoiseSampleVariants) +
                   " most frequent variants where it has more; a variant not aligned within " +
                   grouped_number(static_cast<std::int64_t>(kNoiseTrialMaxStates)) +
                   " states counts as not fitting) and keeps the net of the best F-score of "
                   "fitness and precision, printing the grid")
            ->check(word_or_number("auto", 0, 1));
}

void MineCommand::declare(CLI::App& app) {
    if (align_command_) {
        declare_align_command(app);
        return;
    }
    log_.declare(app, false);
    app.add_option("--relations", relations_, "start from a relations file instead of a LOG");
    app.add_option("--log", replay_log_,
                   "with --relations: the log to replay (needs --process); it is read with the "
                   "event types that occur in the relations");
    app.add_flag("--split-loops", split_loops_,
                 "split short loops into copies instead of setting them aside");
    declare_construction(app);
    app.add_flag("--no-combine", no_combine_, "with --construction new: keep redundant places");
    app.add_flag("--no-replay", no_replay_, "build the net only");
    app.add_option("--show", shows_,
                   "also print the relations, the net, the timing per place or (inductive) the "
                   "process tree; may be repeated")
        ->check(CLI::IsMember({"relations", "net", "timing", "tree"}))
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--format", format_, "the summary as text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    auto* group = app.add_option_group("Export", "the net's files (see below)");
    group->add_option("--out", out_, "the folder to write into (created when missing)");
    export_options_ = {
        group->add_flag("--render", render_,
                        "run dot: image map, pictures and PostScript (dot is looked up next to "
                        "vesk-cli, then in the install's data folder, then on PATH)"),
        group
            ->add_option("--picture", pictures_,
                         "with --render: also draw the high-detail net as svg, png and/or pdf "
                         "(NAME high.dot.svg, ...), comma-separated")
            ->delimiter(',')
            ->check(CLI::IsMember({"svg", "png", "pdf"})),
        group->add_flag("--bpmn", bpmn_,
                        "with --construction inductive: also write the process tree as BPMN 2.0 "
                        "(NAME.bpmn beside the PNML), its diagram laid out by dot"),
        group->add_flag("--report", report_,
                        "write report.html: the net drawn by dot as SVG, clickable, with every "
                        "place's figures and the replay's findings (also with --render)"),
        group->add_option("--stats", stats_,
                          "figures of the high-detail file, default "
                          "\"waiting=mean,min,max;sync=mean,min,max;sojourn=mean,min,max\"; "
                          "figures: mean, variance, min, max; a group left out shows none"),
        group->add_option("--colour", colour_,
                          "fill colour of the activity clusters, RRGGBB (default " +
                              rrggbb_text(kDefaultClusterColour) + ")"),
        group
            ->add_option("--max-render", max_render_,
                         "draw no pictures of a net of more transitions and places than this "
                         "(default 1000): dot takes hours and gigabytes on such nets")
            ->check(whole_number_from(1)),
        group
            ->add_option("--render-timeout", render_timeout_,
                         "seconds dot may take for all the pictures together (default " +
                             std::to_string(RenderBudget::kDefaultTotal.count()) + ")")
            ->check(whole_number_from(1)),
        group->add_flag("--no-probabilities", no_probabilities_,
                        "no branching probabilities in the low-detail file"),
        group->add_option("--orientation", orientation_, "lr (default) or tb")
            ->check(CLI::IsMember({"lr", "tb"})),
        group
            ->add_option("--page", page_,
                         "page size of the PostScript file: a4 (default) or letter")
            ->check(CLI::IsMember({"a4", "letter"}))};
    declare_conformance(app, true);
    app.footer(mine_footer_text());
}

std::string MineCommand::construction() const {
    return new_construction_ ? "new" : construction_;
}

std::string MineCommand::options_text() const {
    if (!net_file_.empty()) return "net read from " + net_file_;
    if (construction() == "inductive")
        return "inductive construction, noise " +
               (noise_auto_ ? std::string("auto") : format_general(noise_, '.')) +
               (relations_.empty() ? "" : ", relations from " + relations_);
    const bool second = construction() == "new";
    std::string text = second ? "construction with invisible transitions" : "alpha construction";
    if (second && no_combine_) text += ", redundant places kept";
    text += split_loops_ ? ", short loops split" : ", short loops set aside";
    if (!relations_.empty()) text += ", relations from " + relations_;
    return text;
}

void MineCommand::check_combinations() const {
    check_align_combinations();
    if (new_construction_ && construction_option_->count() > 0)
        throw UsageError("--new-construction and --construction " + construction_ +
                         " contradict each other");
    if (no_combine_ && construction() != "new")
        throw UsageError("--no-combine belongs to --construction new");
    if (noise_option_->count() > 0 && construction() != "inductive")
        throw UsageError("--noise belongs to --construction inductive");
    if (!net_file_.empty()) {
        if (!relations_.empty())
            throw UsageError("--net replays a LOG: give either --net or --relations");
        if (construction_option_->count() > 0 || new_construction_ || noise_option_->count() > 0 ||
            split_loops_ || no_combine_)
            throw UsageError("--net reads the net: no construction option goes with it");
    }
    if (std::find(shows_.begin(), shows_.end(), "tree") != shows_.end() &&
        (construction() != "inductive" || !net_file_.empty()))
        throw UsageError(
            "--show tree belongs to --construction inductive: the other nets have "
            "no process tree");
    if (bpmn_ && (construction() != "inductive" || !net_file_.empty()))
        throw UsageError(
            "--bpmn belongs to --construction inductive: only its process tree has "
            "a BPMN form");
    if (!pictures_.empty() && !render_)
        throw UsageError("--picture chooses pictures --render draws: give --render as well");
    if (construction() == "inductive" && !relations_.empty() && replay_log_.empty())
        throw UsageError("--construction inductive works on a log: with --relations give --log");
    if (out_.empty()) {
        for (const CLI::Option* option : export_options_)
            if (option->count() > 0) throw UsageError(option->get_name() + " needs --out DIR");
    }
    if (!relations_.empty()) {
        if (log_.has_log()) throw UsageError("give either LOG or --relations FILE");
        if (replay_log_.empty() != !log_.has_process())
            throw UsageError("--log and --process go together with --relations");
        if (log_.asks_for_events())
            throw UsageError("--events and --overlap need a LOG to build relations from");
    } else {
        if (!log_.has_log()) throw UsageError("give a LOG, or --relations FILE");
        if (!replay_log_.empty()) throw UsageError("--log belongs to --relations");
    }
}

NetOptions MineCommand::net_options() const {
    NetOptions net;
    net.split_loops = split_loops_;
    using Construction = RelationsInspection::Construction;
    const std::string chosen = construction();
    net.construction = chosen == "new"         ? Construction::second
                       : chosen == "inductive" ? Construction::inductive
                                               : Construction::alpha;
    net.combine_places = !no_combine_;
    net.noise = noise_;
    net.choose_noise = noise_auto_;
    net.net_file = net_file_;
    return net;
}

MineSource MineCommand::mine_relations(Tvesk_util& controller, MineSummary& summary,
                                       Console& console) const {
    const auto stage = [&console](const std::string& text) { console.stage(text); };
    std::optional<ReplayLog> replay;
    // The inductive construction reads the log even when nothing is replayed.
    if (!replay_log_.empty() && (!no_replay_ || construction() == "inductive"))
        replay = ReplayLog{replay_log_, log_.process(), log_.event_log_options(), !no_replay_,
                           log_.case_filter()};
    const MineOutcome outcome =
        mine_from_relations_file(controller, relations_, log_.resolve_externals(), replay,
                                 net_options(), console, stage, console.timings());
    summary.replayed = outcome.replayed;
    summary.noise_choice = outcome.noise_choice;
    if (replay) summary.add_warnings(report_read_problems(controller, replay->process_id, console));
    MineSource source;
    source.relations = relations_;
    if (!replay_log_.empty()) source.log = replay_log_;
    if (log_.has_process()) source.process = log_.process();
    source.base = file_name_without_xml(relations_) + " ";
    return source;
}

MineSource MineCommand::mine_log(Tvesk_util& controller, MineSummary& summary,
                                 Console& console) const {
    const auto stage = [&console](const std::string& text) { console.stage(text); };
    controller.load_log(log_.log(), log_.resolve_externals(), log_.event_log_options());
    BuildRelationsRequest request = log_.request(console, controller);
    // Relations cost the square of the activities; nets not built from them go without.
    request.tasks_only = (construction() == "inductive" || !net_file_.empty()) &&
                         std::find(shows_.begin(), shows_.end(), "relations") == shows_.end();
    console.stage("Reading Workflow-log");
    const MineOutcome outcome = mine_from_log(controller, request, net_options(), !no_replay_,
                                              console, stage, console.timings());
    summary.replayed = outcome.replayed;
    summary.noise_choice = outcome.noise_choice;
    summary.add_warnings(report_read_problems(controller, request.process_id, console));
    MineSource source;
    source.log = log_.log();
    source.process = request.process_id;
    source.events = request.events.overlap_events;
    source.base = export_base_name(log_.log(), request.process_id);
    return source;
}

void MineCommand::print_summary(Tvesk_util& controller, MineSummary& summary,
                                Console& console) const {
    if (summary.printed) return;
    summary.printed = true;
    if (format_ == "json") return;
    if (summary.noise_choice) {
        console.out() << "Noise chosen by F-score (alignment fitness and precision on the log):\n";
        for (const std::string& line : noise_choice_lines(*summary.noise_choice))
            console.out() << line << '\n';
    }
    print_mine_text(
        controller, summary.replayed,
        construction() == "inductive" && net_file_.empty()
            ? std::optional<double>(summary.noise_choice ? summary.noise_choice->chosen : noise_)
            : std::nullopt,
        console);
    print_listings(controller, shows_, console);
    if (controller.conformance())
        print_conformance_text(*controller.conformance(), align_seconds_, console);
}

int MineCommand::run(Console& console) {
    if (align_command_) {
        align_ = true;
        report_ = !out_.empty();
    }
    check_combinations();
    // report.html shows the attributes and resources of the log.
    if (report_) log_.set_attribute_need(AttributeChoice::all());
    // Check every export option before the long work starts.
    const ExportFlags figures = export_flags_from(stats_);
    const std::uint32_t colour = colour_from(colour_);

    Tvesk_util controller(locale_decimal_separator());
    MineSummary summary;
    const MineSource source = relations_.empty() ? mine_log(controller, summary, console)
                                                 : mine_relations(controller, summary, console);
    align(controller, console);
    int code = kSuccess;
    if (!out_.empty()) {
        const ExportRequest request{output_folder(out_), source.base, colour, !no_probabilities_,
                                    figures};
        code = export_files(controller, source, request, summary, console);
    }

    if (format_ == "json") {
        nlohmann::json document = summary_json(controller, summary, source);
        // One document for a script: the listings asked for go into it.
        for (const std::string& show : shows_)
            document["listings"][show] = listing(controller, show);
        if (controller.conformance()) add_conformance_json(*controller.conformance(), document);
        console.out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
    }
    print_summary(controller, summary, console);
    for (const std::string& error : summary.errors)
        console.error(error);
    return code;
}

}  // namespace vesk::cli
