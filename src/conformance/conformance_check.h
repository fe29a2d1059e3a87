#pragma once
// The log checked against a net by optimal alignments: one alignment per variant (variants
// spread over worker threads, results in variant order), the fitness of each variant and of
// the log, the moves per activity and per transition, and the precision of the net.

#include <cstdint>
#include <utility>
#include <vector>

#include "base/progress.h"
#include "conformance/aligner.h"
#include "conformance/alignment_net.h"
#include "conformance/precision.h"
#include "log/vesk_loglist.h"
#include "net/vesk_redisc.h"

namespace vesk {

struct ConformanceOptions {
    std::size_t max_states = kDefaultMaxStates;
    // 0: one per core.
    unsigned threads = 0;
    // Called on the calling thread.
    ProgressCallback progress;
    // When not 0, only the most frequent variants up to this many are aligned (a sample of a
    // large log); the others are counted in variants_sampled_out and cases_sampled_out.
    std::size_t max_variants = 0;
};

struct VariantAlignment {
    // The labels of the variant's events.
    std::vector<std::int32_t> trace;
    std::int64_t cases = 0;
    Alignment alignment;
    double fitness = 0.0;
};

struct ActivityMoves {
    std::int32_t label = -1;
    std::int64_t synchronous = 0;
    // Happened where the net does not allow it.
    std::int64_t log_moves = 0;
    // Skipped: the net needed it and the case did not do it.
    std::int64_t model_moves = 0;
};

struct ConformanceResult {
    explicit ConformanceResult(AlignmentNet aligned_net) : net(std::move(aligned_net)) {}

    AlignmentNet net;
    // The cost of the cheapest run of the net from the start to the end.
    std::int32_t cheapest_run = 0;
    // The most frequent first.
    std::vector<VariantAlignment> variants;
    std::int64_t cases = 0;
    std::int64_t cases_fitting = 0;
    std::int64_t variants_fitting = 0;
    std::int64_t cases_not_aligned = 0;
    std::int64_t variants_not_aligned = 0;
    // Over the aligned cases.
    double fitness = 1.0;
    // Per label that occurs in the log or the net, in label order.
    std::vector<ActivityMoves> activities;
    // Per transition, the cases' moves on it alone.
    std::vector<std::int64_t> transition_model_moves;
    Precision precision;
    double f_score = 0.0;
    // Left out of the sample (ConformanceOptions::max_variants).
    std::int64_t variants_sampled_out = 0;
    std::int64_t cases_sampled_out = 0;
};

// Throws ConformanceError when the net cannot reach its end at all.
ConformanceResult check_conformance(const Tpetrinet& net, const Tloglist& log,
                                    const ConformanceOptions& options = {});

// The labels with any move, the most deviations (moves on the log or the model only) first.
std::vector<const ActivityMoves*> by_deviations(const ConformanceResult& result);

// Every variant, the most costly in all (cost times cases) first; ties in variant order.
std::vector<const VariantAlignment*> by_cost(const ConformanceResult& result);

// 1 − cost / (length + cheapest run); 1 for an empty trace on a net that runs empty.
double trace_fitness(std::int32_t cost, std::size_t length, std::int32_t cheapest_run);

// The harmonic mean of fitness and precision; 0 when both are 0.
double f_score_of(double fitness, double precision);

// The fitness had each variant not aligned cost all it can (every event on the log only and the
// cheapest run on the model only): a lower bound of the fitness over every case.
double fitness_at_least(const ConformanceResult& result);

}  // namespace vesk
