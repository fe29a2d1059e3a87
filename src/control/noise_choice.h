#pragma once
// The noise threshold chosen by measure: the inductive net mined at each threshold of a small
// grid, with repeated activities weighed by event and by pair of events (a different net where
// a case repeats activities), its alignment fitness and precision measured on the log in
// memory, and the net of the best F-score kept.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/build_relations.h"
#include "control/vesk_util.h"

namespace vesk {

inline constexpr double kNoiseGrid[] = {0.0, 0.05, 0.1, 0.2, 0.3, 0.4};
// A log of more variants is measured on its most frequent ones.
inline constexpr std::size_t kNoiseSampleVariants = 300;
// A variant whose search takes more states counts as fitting not at all: a net whose alignments
// explode (a loose one, mostly) is not chosen on figures that leave its hardest cases out, and
// the grid ends in minutes on the largest public logs rather than hours.
inline constexpr std::size_t kNoiseTrialMaxStates = 20000;
// On a sample, nets whose F-scores lie this close to the best are measured again on every
// variant and the best of them there is kept: a sample of a few hundred variants cannot tell
// them apart (on bpic2012 two nets 0.0002 apart on the sample were 0.07 apart on the log).
inline constexpr double kNoiseCloseFScore = 0.02;
inline constexpr std::size_t kNoiseMostRemeasured = 3;

struct NoiseFigures {
    // Counting the variants not aligned as fitting not at all.
    double fitness = 0;
    double precision = 0;
    double f_score = 0;
    std::int64_t variants_not_aligned = 0;
};

struct NoiseTrial {
    double noise = 0;
    RepeatWeight repeats{};
    // On the variants measured (a sample of a large log).
    NoiseFigures figures;
    // The tree's leaves left out as infrequent.
    std::size_t activities_left_out = 0;
    // A net close to the best on a sample, measured again on every variant.
    std::optional<NoiseFigures> every_variant;
};

struct NoiseChoice {
    std::vector<NoiseTrial> trials;
    double chosen = 0;
    RepeatWeight chosen_repeats{};
    // The variants measured, of all; equal when there was no sample.
    std::int64_t variants_measured = 0;
    std::int64_t variants = 0;
    std::int64_t cases_measured = 0;
    std::int64_t cases = 0;
    // The states a trial's search of one variant may visit.
    std::size_t trial_max_states = kNoiseTrialMaxStates;
};

// Leaves the controller with the inductive net of the chosen threshold (the best F-score, on
// every variant where close nets were measured again; the lower threshold of equal ones, by
// event before by pair). A pair-weighted net equal to the event-weighted one of its threshold
// is not listed. Says which net it aligns, and how far, through status. Throws as the
// construction and the alignments do.
NoiseChoice choose_noise(Tvesk_util& controller, const StatusCallback& status = {},
                         std::size_t sample_variants = kNoiseSampleVariants,
                         std::size_t max_states = kNoiseTrialMaxStates);

bool is_chosen(const NoiseChoice& choice, const NoiseTrial& trial);
// "0.20", or "0.20 by pairs" for a net weighing repeats by pair.
std::string trial_label(const NoiseTrial& trial);
// "repeats": "each_event" or "every_pair".
const char* repeat_weight_name(RepeatWeight repeats);

// What the grid was measured on, where it was not every variant: the sample, and the nets
// measured again.
std::vector<std::string> noise_choice_notes(const NoiseChoice& choice);

// "noise 0.20: fitness 0.9751, precision 0.7012, F-score 0.8158, 5 activities left out" lines,
// the chosen one marked, each followed by its figures on every variant where it was measured
// again, and the notes.
std::vector<std::string> noise_choice_lines(const NoiseChoice& choice);

}  // namespace vesk
