#include "conformance/conformance_check.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "base/sequence_hash.h"

namespace vesk {

namespace {

// The variants of the log, the most frequent first (ties in order of first case).
std::vector<VariantAlignment> variants_of(const Tloglist& log) {
    std::unordered_map<std::vector<std::int32_t>, std::size_t, SequenceHash> index;
    std::vector<VariantAlignment> variants;
    std::vector<std::int32_t> trace;
    for (std::size_t begin = 0; begin < log.size();) {
        const std::size_t end = log.case_end(begin);
        trace.clear();
        for (std::size_t i = begin; i < end; ++i)
            trace.push_back(log[i].name_id());
        const auto [found, added] = index.try_emplace(trace, variants.size());
        if (added) variants.push_back(VariantAlignment{trace, 0, {}, 0.0});
        ++variants[found->second].cases;
        begin = end;
    }
    std::stable_sort(
        variants.begin(), variants.end(),
        [](const VariantAlignment& a, const VariantAlignment& b) { return a.cases > b.cases; });
    return variants;
}

// Aligns every variant; each worker has its own aligner, the variants are taken in turn.
void align_all(const AlignmentNet& net, std::vector<VariantAlignment>& variants,
               const ConformanceOptions& options) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned threads =
        std::max(1u, std::min<unsigned>(options.threads == 0 ? cores : options.threads,
                                        static_cast<unsigned>(variants.size())));
    std::atomic<std::size_t> next{0};
    std::atomic<std::int64_t> done{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::mutex failure_lock;
    const auto work = [&](bool reports) {
        try {
            Aligner aligner(net, options.max_states);
            for (std::size_t i = next++; i < variants.size() && !stop; i = next++) {
                variants[i].alignment = aligner.align(variants[i].trace);
                const std::int64_t count = ++done;
                if (reports && options.progress)
                    options.progress(Progress{"Aligning", count,
                                              static_cast<std::int64_t>(variants.size()), -1,
                                              "variants"});
            }
        } catch (...) {
            const std::lock_guard lock(failure_lock);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::jthread> helpers;
    for (unsigned i = 1; i < threads; ++i)
        helpers.emplace_back(work, false);
    work(true);
    helpers.clear();
    if (failure) std::rethrow_exception(failure);
    // The last variants may have ended on a helper: the end is said on this thread.
    const auto total = static_cast<std::int64_t>(variants.size());
    if (options.progress && total > 0)
        options.progress(Progress{"Aligning", total, total, -1, "variants"});
}

// What a variant's alignment can cost at most: every event on the log only, the cheapest run
// on the model only.
std::int64_t most_cost(const VariantAlignment& variant, std::int32_t cheapest_run) {
    return static_cast<std::int64_t>(variant.trace.size()) + cheapest_run;
}

void add_up(ConformanceResult& result) {
    result.activities.resize(static_cast<std::size_t>(result.net.label_count()));
    for (std::int32_t label = 0; label < result.net.label_count(); ++label)
        result.activities[static_cast<std::size_t>(label)].label = label;
    result.transition_model_moves.assign(static_cast<std::size_t>(result.net.transition_count()),
                                         0);
    std::int64_t cost = 0, most = 0;
    for (VariantAlignment& variant : result.variants) {
        result.cases += variant.cases;
        if (!variant.alignment.aligned()) {
            ++result.variants_not_aligned;
            result.cases_not_aligned += variant.cases;
            continue;
        }
        variant.fitness =
            trace_fitness(variant.alignment.cost, variant.trace.size(), result.cheapest_run);
        if (variant.alignment.cost == 0) {
            result.cases_fitting += variant.cases;
            ++result.variants_fitting;
        }
        cost += variant.cases * variant.alignment.cost;
        most += variant.cases * most_cost(variant, result.cheapest_run);
        for (const AlignmentMove& move : variant.alignment.moves) {
            const std::int32_t label =
                move.on_log() ? move.log_label : result.net.label(move.transition);
            if (move.on_model() && !move.on_log())
                result.transition_model_moves[static_cast<std::size_t>(move.transition)] +=
                    variant.cases;
            if (label < 0) continue;
            ActivityMoves& moves = result.activities[static_cast<std::size_t>(label)];
            (move.synchronous() ? moves.synchronous
             : move.on_log()    ? moves.log_moves
                                : moves.model_moves) += variant.cases;
        }
    }
    if (most > 0) result.fitness = 1.0 - static_cast<double>(cost) / static_cast<double>(most);
}

}  // namespace

std::vector<const ActivityMoves*> by_deviations(const ConformanceResult& result) {
    std::vector<const ActivityMoves*> list;
    for (const ActivityMoves& moves : result.activities)
        if (moves.synchronous + moves.log_moves + moves.model_moves > 0) list.push_back(&moves);
    std::stable_sort(list.begin(), list.end(), [](const ActivityMoves* a, const ActivityMoves* b) {
        return a->log_moves + a->model_moves > b->log_moves + b->model_moves;
    });
    return list;
}

std::vector<const VariantAlignment*> by_cost(const ConformanceResult& result) {
    std::vector<const VariantAlignment*> list;
    for (const VariantAlignment& variant : result.variants)
        list.push_back(&variant);
    std::stable_sort(list.begin(), list.end(),
                     [](const VariantAlignment* a, const VariantAlignment* b) {
                         return a->alignment.cost * a->cases > b->alignment.cost * b->cases;
                     });
    return list;
}

double trace_fitness(std::int32_t cost, std::size_t length, std::int32_t cheapest_run) {
    const double most = static_cast<double>(length) + cheapest_run;
    return most > 0 ? 1.0 - cost / most : 1.0;
}

double f_score_of(double fitness, double precision) {
    return fitness + precision > 0 ? 2 * fitness * precision / (fitness + precision) : 0.0;
}

double fitness_at_least(const ConformanceResult& result) {
    std::int64_t cost = 0, most = 0;
    for (const VariantAlignment& variant : result.variants) {
        const std::int64_t variant_most = most_cost(variant, result.cheapest_run);
        cost +=
            variant.cases * (variant.alignment.aligned() ? variant.alignment.cost : variant_most);
        most += variant.cases * variant_most;
    }
    return most > 0 ? 1.0 - static_cast<double>(cost) / static_cast<double>(most) : 1.0;
}

ConformanceResult check_conformance(const Tpetrinet& net, const Tloglist& log,
                                    const ConformanceOptions& options) {
    ConformanceResult result(AlignmentNet(net, log));
    {
        // Every figure needs the cheapest run: a bound kept low to give up on hard variants
        // soon does not hold for it.
        const std::size_t max_states = std::max(options.max_states, kDefaultMaxStates);
        Aligner aligner(result.net, max_states);
        const Alignment empty = aligner.align({});
        if (empty.outcome == Alignment::Outcome::end_unreachable)
            throw ConformanceError("the net cannot reach its end from its start");
        if (!empty.aligned())
            throw ConformanceError("the cheapest run of the net was not found within " +
                                   std::to_string(max_states) + " states");
        result.cheapest_run = empty.cost;
    }
    result.variants = variants_of(log);
    if (options.max_variants > 0 && result.variants.size() > options.max_variants) {
        for (std::size_t v = options.max_variants; v < result.variants.size(); ++v)
            result.cases_sampled_out += result.variants[v].cases;
        result.variants_sampled_out =
            static_cast<std::int64_t>(result.variants.size() - options.max_variants);
        result.variants.resize(options.max_variants);
    }
    align_all(result.net, result.variants, options);
    add_up(result);
    std::vector<AlignedCases> aligned;
    for (const VariantAlignment& variant : result.variants)
        aligned.push_back(AlignedCases{&variant.alignment, variant.cases});
    result.precision = escaping_edges_precision(result.net, aligned);
    result.f_score = f_score_of(result.fitness, result.precision.value);
    return result;
}

}  // namespace vesk
