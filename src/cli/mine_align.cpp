// The conformance half of MineCommand: mine --align, and the align command.
#include <CLI/CLI.hpp>

#include <chrono>

#include "base/number_format.h"
#include "cli/cli_common.h"
#include "cli/command_mine.h"
#include "cli/console.h"
#include "cli/option_checks.h"

namespace vesk::cli {

void MineCommand::declare_conformance(CLI::App& app, bool with_switch) {
    auto* group = app.add_option_group("Conformance", "optimal alignments of the log on the net");
    if (with_switch)
        group->add_flag("--align", align_,
                        "align every variant of the log on the net: alignment fitness, "
                        "precision, F-score and the deviations per activity");
    group
        ->add_option("--max-states", max_states_,
                     "give up on a variant after this many states of its search (default " +
                         std::to_string(kDefaultMaxStates) +
                         "); such variants are counted and left out of the figures")
        ->check(whole_number_from(1));
    group
        ->add_option("--threads", threads_,
                     "worker threads for the alignments (default: one per core); the output is "
                     "the same with any number")
        ->check(whole_number_from(1));
}

void MineCommand::declare_align_command(CLI::App& app) {
    log_.declare(app, true);
    declare_construction(app);
    app.add_option("--format", format_, "the summary as text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    app.add_option("--out", out_,
                   "write the net's files and report.html, with its Conformance view, into this "
                   "folder");
    declare_conformance(app, false);
    app.footer(
        "Give the net with --net FILE.pnml or make one with --construction. Each distinct "
        "sequence of activities (variant) gets one optimal alignment: a move on the log only "
        "(the activity happened where the net does not allow it) or on a visible transition "
        "only (the case skipped it) costs 1, synchronous moves and invisible transitions cost "
        "nothing. A variant's fitness is 1 - cost / (its length + the cost of the net's "
        "cheapest run); precision counts the activities the net allows after each prefix that "
        "the log never does there (escaping edges).\n\n" +
        std::string(LogReadOptions::kHelp));
}

void MineCommand::check_align_combinations() const {
    if (!align_) return;
    if (align_command_ && net_file_.empty() && construction_option_->count() == 0 &&
        !new_construction_)
        throw UsageError(
            "align needs a net: --net FILE.pnml or --construction "
            "alpha|new|inductive");
    if (!relations_.empty() && (replay_log_.empty() || no_replay_))
        throw UsageError(
            "--align needs the log's events: with --relations give --log and "
            "replay");
}

void MineCommand::align(Tvesk_util& controller, Console& console) {
    if (!align_) return;
    console.stage("Aligning the log");
    begin_stage(console.timings(), "align");
    ConformanceOptions options;
    options.max_states = max_states_;
    options.threads = threads_;
    options.progress = [&console](const Progress& progress) {
        // A line per few variants: hard ones take seconds each, easy ones microseconds.
        if (progress.done % 20 != 0 && progress.done != progress.total) return;
        console.stage("Aligning the log: " + grouped_number(progress.done) + " of " +
                      grouped_number(progress.total) + " variants");
    };
    const auto began = std::chrono::steady_clock::now();
    const ConformanceResult& result = controller.check_conformance(options);
    align_seconds_ =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    end_stage(console.timings());
    if (result.variants_not_aligned > 0)
        console.warning(std::to_string(result.variants_not_aligned) +
                        " variants reached the bound of " + std::to_string(max_states_) +
                        " states and are left out of the alignment figures");
}

}  // namespace vesk::cli
