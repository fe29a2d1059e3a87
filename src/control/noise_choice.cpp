#include "control/noise_choice.h"

#include <algorithm>
#include <cstdio>

#include "base/number_format.h"

namespace vesk {

namespace {

// The status line names the net being aligned; the controller's own progress (the window's bar
// and its Cancel) hears of every variant, under a step that names the net too.
ProgressCallback trial_progress(const StatusCallback& status, const Tvesk_util& controller,
                                const std::string& label, bool every_variant) {
    const ProgressCallback& window = controller.progress();
    if (!status && !window) return {};
    const std::string what = label + (every_variant ? " on every variant" : "");
    const std::string step = every_variant ? "Aligning every variant on the net of " + label
                                           : "Aligning on the net of " + label;
    return [&status, &window, what, step](const Progress& progress) {
        if (window) window(Progress{step, progress.done, progress.total, -1, progress.unit});
        // Hard variants take seconds each, easy ones microseconds: a line per few.
        if (!status || (progress.done % 20 != 0 && progress.done != progress.total)) return;
        status("Choosing the noise: " + what + ", " + grouped_number(progress.done) + " of " +
               grouped_number(progress.total) + " variants aligned");
    };
}

NoiseFigures figures_of(const ConformanceResult& result) {
    NoiseFigures figures;
    figures.fitness = fitness_at_least(result);
    figures.precision = result.precision.value;
    figures.f_score = f_score_of(figures.fitness, figures.precision);
    figures.variants_not_aligned = result.variants_not_aligned;
    return figures;
}

bool any_measured_again(const std::vector<NoiseTrial>& trials) {
    return std::any_of(trials.begin(), trials.end(),
                       [](const NoiseTrial& trial) { return trial.every_variant; });
}

double score(const NoiseTrial& trial) {
    return trial.every_variant ? trial.every_variant->f_score : trial.figures.f_score;
}

// The first of the best among the trials measured on every variant, or else among all.
const NoiseTrial& best_trial(const std::vector<NoiseTrial>& trials) {
    const bool remeasured = any_measured_again(trials);
    const NoiseTrial* best = nullptr;
    for (const NoiseTrial& trial : trials)
        if ((!remeasured || trial.every_variant) && (!best || score(trial) > score(*best) + 1e-12))
            best = &trial;
    return *best;
}

// The index of the first trial of this tree, or the number of trials.
std::size_t first_of_tree(const std::vector<std::string>& trees, const std::string& tree) {
    return static_cast<std::size_t>(std::find(trees.begin(), trees.end(), tree) - trees.begin());
}

// Every net of the grid on the sample; the trees of the trials, in their order. A net equal to
// one measured before takes its figures.
std::vector<std::string> measure_grid(Tvesk_util& controller, NoiseChoice& choice,
                                      ConformanceOptions options, const StatusCallback& status) {
    std::vector<std::string> trees;
    for (const double noise : kNoiseGrid) {
        for (const RepeatWeight repeats : {RepeatWeight::each_event, RepeatWeight::every_pair}) {
            controller.make_net_inductive(InductiveOptions{noise, repeats});
            const std::string tree = controller.process_tree_text();
            if (repeats == RepeatWeight::every_pair && tree == trees.back()) continue;
            NoiseTrial trial;
            trial.noise = noise;
            trial.repeats = repeats;
            trial.activities_left_out = controller.left_out().size();
            if (const std::size_t same = first_of_tree(trees, tree); same < trees.size()) {
                trial.figures = choice.trials[same].figures;
            } else {
                options.progress = trial_progress(status, controller, trial_label(trial), false);
                const ConformanceResult& result = controller.check_conformance(options);
                trial.figures = figures_of(result);
                choice.variants_measured = static_cast<std::int64_t>(result.variants.size());
                choice.variants = choice.variants_measured + result.variants_sampled_out;
                choice.cases_measured = result.cases;
                choice.cases = result.cases + result.cases_sampled_out;
            }
            choice.trials.push_back(trial);
            trees.push_back(tree);
        }
    }
    return trees;
}

// The nets close to the best of a sample, aligned on every variant (each tree once).
void remeasure_close(Tvesk_util& controller, NoiseChoice& choice,
                     const std::vector<std::string>& trees, ConformanceOptions options,
                     const StatusCallback& status) {
    if (choice.variants_measured == choice.variants) return;
    const double best = best_trial(choice.trials).figures.f_score;
    std::vector<std::size_t> close;
    for (std::size_t i = 0; i < choice.trials.size(); ++i)
        if (choice.trials[i].figures.f_score >= best - kNoiseCloseFScore &&
            first_of_tree(trees, trees[i]) == i)
            close.push_back(i);
    if (close.size() < 2) return;
    std::stable_sort(close.begin(), close.end(), [&choice](std::size_t a, std::size_t b) {
        return choice.trials[a].figures.f_score > choice.trials[b].figures.f_score;
    });
    close.resize(std::min(close.size(), kNoiseMostRemeasured));
    options.max_variants = 0;
    for (const std::size_t i : close) {
        NoiseTrial& trial = choice.trials[i];
        controller.make_net_inductive(InductiveOptions{trial.noise, trial.repeats});
        options.progress = trial_progress(status, controller, trial_label(trial), true);
        trial.every_variant = figures_of(controller.check_conformance(options));
    }
    for (std::size_t i = 0; i < choice.trials.size(); ++i)
        choice.trials[i].every_variant =
            choice.trials[first_of_tree(trees, trees[i])].every_variant;
}

}  // namespace

NoiseChoice choose_noise(Tvesk_util& controller, const StatusCallback& status,
                         std::size_t sample_variants, std::size_t max_states) {
    NoiseChoice choice;
    choice.trial_max_states = max_states;
    ConformanceOptions options;
    options.max_variants = sample_variants;
    options.max_states = max_states;
    const std::vector<std::string> trees = measure_grid(controller, choice, options, status);
    remeasure_close(controller, choice, trees, options, status);
    const NoiseTrial& best = best_trial(choice.trials);
    choice.chosen = best.noise;
    choice.chosen_repeats = best.repeats;
    controller.make_net_inductive(InductiveOptions{choice.chosen, choice.chosen_repeats});
    return choice;
}

bool is_chosen(const NoiseChoice& choice, const NoiseTrial& trial) {
    return trial.noise == choice.chosen && trial.repeats == choice.chosen_repeats;
}

std::string trial_label(const NoiseTrial& trial) {
    char text[40];
    std::snprintf(text, sizeof text, "%.2f%s", trial.noise,
                  trial.repeats == RepeatWeight::every_pair ? " by pairs" : "");
    return text;
}

const char* repeat_weight_name(RepeatWeight repeats) {
    return repeats == RepeatWeight::every_pair ? "every_pair" : "each_event";
}

namespace {

std::string figures_text(const NoiseFigures& figures) {
    char text[120];
    std::snprintf(text, sizeof text, "fitness %.4f, precision %.4f, F-score %.4f", figures.fitness,
                  figures.precision, figures.f_score);
    return text;
}

std::string not_aligned_text(const NoiseFigures& figures, std::size_t max_states) {
    if (figures.variants_not_aligned == 0) return {};
    return ", " + grouped_number(figures.variants_not_aligned) +
           (figures.variants_not_aligned == 1 ? " variant" : " variants") + " not aligned within " +
           grouped_number(static_cast<std::int64_t>(max_states)) +
           " states (counted as not fitting)";
}

}  // namespace

std::vector<std::string> noise_choice_notes(const NoiseChoice& choice) {
    std::vector<std::string> notes;
    if (choice.variants_measured == choice.variants) return notes;
    notes.push_back("measured on the " + grouped_number(choice.variants_measured) +
                    " most frequent of " + grouped_number(choice.variants) + " variants (" +
                    grouped_number(choice.cases_measured) + " of " + grouped_number(choice.cases) +
                    " cases)");
    if (any_measured_again(choice.trials))
        notes.push_back("the nets within " + format_general(kNoiseCloseFScore, '.') +
                        " of the best F-score measured again on every variant, and the best "
                        "there kept");
    return notes;
}

std::vector<std::string> noise_choice_lines(const NoiseChoice& choice) {
    std::vector<std::string> lines;
    for (const NoiseTrial& trial : choice.trials) {
        std::string line = std::string(is_chosen(choice, trial) ? "*" : " ") + " noise " +
                           trial_label(trial) + ": " + figures_text(trial.figures);
        if (trial.activities_left_out > 0)
            line += ", " + std::to_string(trial.activities_left_out) +
                    (trial.activities_left_out == 1 ? " activity" : " activities") + " left out";
        lines.push_back(line + not_aligned_text(trial.figures, choice.trial_max_states));
        if (trial.every_variant)
            lines.push_back("      on every variant: " + figures_text(*trial.every_variant) +
                            not_aligned_text(*trial.every_variant, choice.trial_max_states));
    }
    for (const std::string& note : noise_choice_notes(choice))
        lines.push_back("  " + note);
    return lines;
}

}  // namespace vesk
