// --noise auto on a sample of a public log's variants.

#include <gtest/gtest.h>

#include <filesystem>

#include "control/build_relations.h"
#include "control/noise_choice.h"

namespace vesk {
namespace {

// The nets a sample cannot tell apart are measured again on every variant, and the net kept is
// the best there, here not the best of the sample; the figures are what an alignment of that net
// on its own gives.
TEST(NoiseChoice, NetsCloseOnASampleAreMeasuredAgainOnEveryVariant) {
    const std::string log = std::string(VESK_SHARED_XES) + "/08_receipt.xes.gz";
    if (!std::filesystem::exists(log)) GTEST_SKIP() << "no " << log;
    Tvesk_util controller;
    controller.load_log(log, false);
    BuildRelationsRequest request;
    request.process_id = controller.processes().front().id;
    request.events = apply_event_choice({});
    request.tasks_only = true;
    build_relations(controller, request);
    std::vector<std::string> shown;
    const std::size_t sample = 60;
    const NoiseChoice choice = choose_noise(
        controller, [&shown](const std::string& text) { shown.push_back(text); }, sample);

    EXPECT_EQ(choice.variants_measured, 60);
    EXPECT_EQ(choice.variants, 116);
    const NoiseTrial* best_on_sample = &choice.trials.front();
    for (const NoiseTrial& trial : choice.trials)
        if (trial.figures.f_score > best_on_sample->figures.f_score) best_on_sample = &trial;
    std::size_t remeasured = 0;
    const NoiseTrial* best = nullptr;
    for (const NoiseTrial& trial : choice.trials) {
        EXPECT_EQ(trial.every_variant.has_value(),
                  trial.figures.f_score >= best_on_sample->figures.f_score - kNoiseCloseFScore)
            << trial_label(trial);
        if (!trial.every_variant) continue;
        ++remeasured;
        if (!best || trial.every_variant->f_score > best->every_variant->f_score) best = &trial;
    }
    ASSERT_GE(remeasured, 2u);
    ASSERT_LE(remeasured, kNoiseMostRemeasured);
    EXPECT_TRUE(is_chosen(choice, *best));
    EXPECT_FALSE(is_chosen(choice, *best_on_sample));

    // The net kept is the chosen one, and its figures on every variant are its alignment's.
    ConformanceOptions whole;
    whole.max_states = kNoiseTrialMaxStates;
    const ConformanceResult& result = controller.check_conformance(whole);
    EXPECT_DOUBLE_EQ(best->every_variant->fitness, fitness_at_least(result));
    EXPECT_DOUBLE_EQ(best->every_variant->precision, result.precision.value);
    // Which net is aligned, and how far.
    const auto was_shown = [&shown](const std::string& text) {
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    };
    EXPECT_TRUE(was_shown("Choosing the noise: 0.00, 60 of 60 variants aligned"));
    EXPECT_TRUE(was_shown("Choosing the noise: " + trial_label(*best) +
                          " on every variant, 116 of 116 variants aligned"));
}

}  // namespace
}  // namespace vesk
