#include "control/noise_choice.h"

#include <cstdio>

#include "base/number_format.h"

namespace vesk {

namespace {

ProgressCallback trial_progress(const StatusCallback& status, const NoiseTrial& trial) {
    if (!status) return {};
    return [&status, label = trial_label(trial)](const Progress& progress) {
        // Hard variants take seconds each, easy ones microseconds: a line per few.
        if (progress.done % 20 != 0 && progress.done != progress.total) return;
        status("Choosing the noise: " + label + ", " + grouped_number(progress.done) + " of " +
               grouped_number(progress.total) + " variants aligned");
    };
}

}  // namespace

NoiseChoice choose_noise(Tvesk_util& controller, const StatusCallback& status,
                         std::size_t sample_variants, std::size_t max_states) {
    NoiseChoice choice;
    ConformanceOptions options;
    options.max_variants = sample_variants;
    options.max_states = max_states;
    double best = -1;
    for (const double noise : kNoiseGrid) {
        std::string event_tree;
        for (const RepeatWeight repeats : {RepeatWeight::each_event, RepeatWeight::every_pair}) {
            controller.make_net_inductive(InductiveOptions{noise, repeats});
            if (repeats == RepeatWeight::every_pair && controller.process_tree_text() == event_tree)
                continue;
            event_tree = controller.process_tree_text();
            NoiseTrial trial{.noise = noise, .repeats = repeats};
            options.progress = trial_progress(status, trial);
            const ConformanceResult& result = controller.check_conformance(options);
            trial.fitness = fitness_at_least(result);
            trial.precision = result.precision.value;
            trial.f_score = f_score_of(trial.fitness, trial.precision);
            trial.activities_left_out = controller.left_out().size();
            trial.variants_not_aligned = result.variants_not_aligned;
            choice.trials.push_back(trial);
            choice.variants_measured = static_cast<std::int64_t>(result.variants.size());
            choice.variants = choice.variants_measured + result.variants_sampled_out;
            choice.cases_measured = result.cases;
            choice.cases = result.cases + result.cases_sampled_out;
            if (trial.f_score > best + 1e-12) {
                best = trial.f_score;
                choice.chosen = noise;
                choice.chosen_repeats = repeats;
            }
        }
    }
    choice.trial_max_states = max_states;
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

std::vector<std::string> noise_choice_lines(const NoiseChoice& choice) {
    std::vector<std::string> lines;
    for (const NoiseTrial& trial : choice.trials) {
        char text[200];
        std::snprintf(text, sizeof text, "%s noise %s: fitness %.4f, precision %.4f, F-score %.4f",
                      is_chosen(choice, trial) ? "*" : " ", trial_label(trial).c_str(),
                      trial.fitness, trial.precision, trial.f_score);
        std::string line = text;
        if (trial.activities_left_out > 0)
            line += ", " + std::to_string(trial.activities_left_out) +
                    (trial.activities_left_out == 1 ? " activity" : " activities") + " left out";
        if (trial.variants_not_aligned > 0)
            line += ", " + grouped_number(trial.variants_not_aligned) +
                    (trial.variants_not_aligned == 1 ? " variant" : " variants") +
                    " not aligned within " +
                    grouped_number(static_cast<std::int64_t>(choice.trial_max_states)) +
                    " states (counted as not fitting)";
        lines.push_back(line);
    }
    if (choice.variants_measured < choice.variants)
        lines.push_back("  measured on the " + grouped_number(choice.variants_measured) +
                        " most frequent of " + grouped_number(choice.variants) + " variants (" +
                        grouped_number(choice.cases_measured) + " of " +
                        grouped_number(choice.cases) + " cases)");
    return lines;
}

}  // namespace vesk
