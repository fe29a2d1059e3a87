#include "discovery/inductive_miner.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "discovery/cuts.h"
#include "discovery/follows_graph.h"
#include "discovery/graph_miner.h"
#include "discovery/log_split.h"

namespace vesk {

namespace {

using Kind = ProcessTree::Kind;

std::vector<std::int32_t> activities_of(const TraceLog& log, std::int32_t universe) {
    std::vector<bool> seen(static_cast<std::size_t>(universe), false);
    for (const Trace& trace : log)
        for (const std::int32_t a : trace.events)
            seen[static_cast<std::size_t>(a)] = true;
    std::vector<std::int32_t> result;
    for (std::int32_t a = 0; a < universe; ++a)
        if (seen[static_cast<std::size_t>(a)]) result.push_back(a);
    return result;
}

// Which parts of a sequence cut may be skipped, and which are skipped only with the part before.
class SequenceSkips {
public:
    SequenceSkips(const TraceLog& log, const std::vector<std::vector<bool>>& presence, double noise)
        : optional_(presence.empty() ? 0 : presence.front().size(), false), nests_(optional_) {
        const std::size_t parts = optional_.size();
        std::vector<std::int64_t> skipped(parts, 0), present(parts, 0), alone(parts, 0);
        for (std::size_t t = 0; t < log.size(); ++t)
            for (std::size_t p = 0; p < parts; ++p) {
                const bool here = presence[t][p];
                (here ? present : skipped)[p] += log[t].count;
                if (p > 0 && here && !presence[t][p - 1]) alone[p] += log[t].count;
            }
        const auto share = [noise](std::int64_t count, std::int64_t of) {
            return static_cast<double>(count) >= noise * static_cast<double>(of);
        };
        const std::int64_t cases = case_total(log);
        for (std::size_t p = 0; p < parts; ++p) {
            optional_[p] = skipped[p] > 0 && share(skipped[p], cases);
            nests_[p] = p > 0 && optional_[p] && optional_[p - 1] &&
                        (alone[p] == 0 || (noise > 0 && !share(alone[p], present[p])));
        }
    }
    bool optional(std::size_t part) const { return optional_[part]; }
    // Optional, and present only where the optional part before it is.
    bool nests(std::size_t part) const { return nests_[part]; }

private:
    std::vector<bool> optional_;
    std::vector<bool> nests_;
};

// Counts the levels of the recursion.
class DepthGuard {
public:
    explicit DepthGuard(std::int32_t& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    std::int32_t& depth_;
};

class InductiveMiner {
public:
    InductiveMiner(std::int32_t universe, const InductiveOptions& options)
        : universe_(universe),
          noise_(std::clamp(options.noise, 0.0, 1.0)),
          repeats_(options.repeats) {}

    ProcessTree mine(TraceLog log) {
        const DepthGuard guard(depth_);
        const std::vector<std::int32_t> activities = activities_of(log, universe_);
        if (activities.empty()) return ProcessTree::silent();
        if (auto base = single_activity(log, activities)) return std::move(*base);
        if (auto choice = empty_traces(log)) return std::move(*choice);
        if (activities.size() > static_cast<std::size_t>(kMaxBlockActivities))
            return mine_graph_tree(SparseFollows(log, universe_), noise_);
        if (depth_ > kMaxDepth) return ProcessTree::flower(activities);
        if (std::optional<Cut> cut = cut_of(log)) return divide(log, *cut);
        return fall_through(std::move(log), activities);
    }

private:
    // Every case is the one activity once: the activity. Repetitions, however rare, stay a
    // loop: leaving them out costs real logs more fitness than it gains in precision.
    static std::optional<ProcessTree> single_activity(const TraceLog& log,
                                                      const std::vector<std::int32_t>& ids) {
        if (ids.size() != 1) return std::nullopt;
        for (const Trace& trace : log)
            if (trace.events.size() != 1) return std::nullopt;
        return ProcessTree::activity(ids.front());
    }

    // Cases without events: a choice to skip the rest.
    std::optional<ProcessTree> empty_traces(TraceLog& log) {
        std::int64_t empty = 0;
        for (const Trace& trace : log)
            if (trace.events.empty()) empty += trace.count;
        if (empty == 0) return std::nullopt;
        const double share = static_cast<double>(empty) / static_cast<double>(case_total(log));
        std::erase_if(log, [](const Trace& trace) { return trace.events.empty(); });
        // Too few to matter: the rest is mined as if they were not there.
        if (share < noise_) return mine(std::move(log));
        return ProcessTree::node(Kind::choice, {mine(std::move(log)), ProcessTree::silent()});
    }

    // A cut of the graph as it is; failing that, of the graph without its infrequent edges,
    // where a sequence is looked for in the eventually-follows graph: directly-follows edges
    // alone, once thinned out, rarely tell what comes after what.
    std::optional<Cut> cut_of(const TraceLog& log) const {
        const FollowsGraph graph(log, universe_);
        if (std::optional<Cut> cut = exact_cut(graph)) return cut;
        return filtered_cut(graph, log);
    }

    static std::optional<Cut> exact_cut(const FollowsGraph& graph) {
        Cut cut = find_cut(graph);
        if (cut.kind == Cut::Kind::none) return std::nullopt;
        return cut;
    }

    // graph: the log's, read without the activity left_out (if any).
    std::optional<Cut> filtered_cut(const FollowsGraph& graph, const TraceLog& log,
                                    std::int32_t left_out = -1) const {
        Cut cut;
        if (noise_ > 0.0 && graph.size() > 1) {
            const FollowsGraph filtered = graph.filtered(noise_);
            cut = keep_choice_activities(log, choice_cut(filtered), universe_, kept_share(log));
            if (cut.kind == Cut::Kind::none)
                cut = sequence_cut(
                    FollowsGraph::eventually(log, universe_, left_out, repeats_).filtered(noise_));
            if (cut.kind == Cut::Kind::none) cut = parallel_cut(filtered);
            if (cut.kind == Cut::Kind::none) cut = loop_cut(filtered);
        }
        if (cut.kind == Cut::Kind::none) return std::nullopt;
        return cut;
    }

    // Activities with fewer events than this may vanish in a choice split.
    std::int64_t kept_share(const TraceLog& log) const {
        return static_cast<std::int64_t>(noise_ * static_cast<double>(case_total(log)));
    }

    ProcessTree divide(const TraceLog& log, const Cut& cut) {
        if (cut.kind == Cut::Kind::sequence) return sequence_of(log, cut);
        std::vector<TraceLog> parts = split_log(log, cut, universe_);
        std::vector<ProcessTree> children;
        for (TraceLog& part : parts)
            children.push_back(mine(std::move(part)));
        return ProcessTree::node(tree_kind(cut.kind), std::move(children));
    }

    // A sequence whose optional parts that only ever come after the optional part before them
    // are nested: X( ->( 'a', X( 'b', tau ) ), tau ) rather than two skips that would allow b
    // without a. A part is optional where the filter keeps its skip, judged on the cases of
    // this log as for a part of its own; b counts as coming only after a where the cases with
    // b and without a are fewer than the noise share of the cases with b (none at noise 0).
    ProcessTree sequence_of(const TraceLog& log, const Cut& cut) {
        const SequenceSkips skips(log, sequence_presence(log, cut, universe_), noise_);
        std::vector<TraceLog> parts = split_log(log, cut, universe_);
        std::vector<ProcessTree> children;
        for (std::size_t p = 0; p < parts.size();) {
            std::size_t last = p;  // the chain of nested optional parts p..last
            while (last + 1 < parts.size() && skips.nests(last + 1))
                ++last;
            ProcessTree chain = ProcessTree::silent();
            for (std::size_t q = last + 1; q-- > p;) {
                if (!skips.optional(q)) {
                    chain = mine(std::move(parts[q]));
                    continue;
                }
                std::erase_if(parts[q], [](const Trace& trace) { return trace.events.empty(); });
                ProcessTree step = mine(std::move(parts[q]));
                if (q < last) step = ProcessTree::node(Kind::sequence, {std::move(step), chain});
                chain = ProcessTree::node(Kind::choice, {std::move(step), ProcessTree::silent()});
            }
            children.push_back(std::move(chain));
            p = last + 1;
        }
        return ProcessTree::node(Kind::sequence, std::move(children));
    }

    ProcessTree fall_through(TraceLog log, const std::vector<std::int32_t>& activities) {
        if (activities.size() > 1) {
            if (auto once = activity_once_per_trace(log, activities)) return beside(log, *once);
            if (activities.size() <= static_cast<std::size_t>(kMaxConcurrentSearch))
                if (auto concurrent = activity_concurrent(log, activities))
                    return beside(log, *concurrent);
        }
        if (auto strict = tau_loop(log, true)) return std::move(*strict);
        if (auto loose = tau_loop(log, false)) return std::move(*loose);
        return ProcessTree::flower(activities);
    }

    // An activity that occurs exactly once in every case.
    static std::optional<std::int32_t> activity_once_per_trace(
        const TraceLog& log, const std::vector<std::int32_t>& activities) {
        for (const std::int32_t a : activities) {
            const bool once = std::all_of(log.begin(), log.end(), [a](const Trace& trace) {
                return std::count(trace.events.begin(), trace.events.end(), a) == 1;
            });
            if (once) return a;
        }
        return std::nullopt;
    }

    // An activity without which the rest of the log divides along a cut; one that leaves an
    // exact cut is preferred to one that leaves a cut only after filtering.
    std::optional<std::int32_t> activity_concurrent(const TraceLog& log,
                                                    const std::vector<std::int32_t>& activities) {
        std::vector<FollowsGraph> rests;
        rests.reserve(activities.size());
        for (const std::int32_t a : activities) {
            rests.emplace_back(log, universe_, a);
            if (exact_cut(rests.back())) return a;
        }
        for (std::size_t i = 0; i < activities.size() && noise_ > 0.0; ++i)
            if (filtered_cut(rests[i], log, activities[i])) return activities[i];
        return std::nullopt;
    }

    // The activity in parallel with the rest.
    ProcessTree beside(const TraceLog& log, std::int32_t activity) {
        Cut cut;
        cut.kind = Cut::Kind::parallel;
        cut.parts = {{activity}, {}};
        for (const std::int32_t a : activities_of(log, universe_))
            if (a != activity) cut.parts[1].push_back(a);
        return divide(log, cut);
    }

    // The cases cut into pieces that repeat: where an end is directly followed by a start
    // (strict), or before every start that is not the first event.
    std::optional<ProcessTree> tau_loop(const TraceLog& log, bool strict) {
        std::vector<bool> start(static_cast<std::size_t>(universe_), false);
        std::vector<bool> end(start);
        for (const Trace& trace : log) {
            if (trace.events.empty()) continue;
            start[static_cast<std::size_t>(trace.events.front())] = true;
            end[static_cast<std::size_t>(trace.events.back())] = true;
        }
        const auto at = [](const std::vector<bool>& flags, std::int32_t a) {
            return flags[static_cast<std::size_t>(a)];
        };
        TraceLog pieces = cut_traces(log, [&](std::int32_t previous, std::int32_t next) {
            return at(start, next) && (!strict || at(end, previous));
        });
        if (case_total(pieces) == case_total(log)) return std::nullopt;
        return ProcessTree::node(Kind::loop, {mine(std::move(pieces)), ProcessTree::silent()});
    }

    std::int32_t universe_;
    double noise_;
    RepeatWeight repeats_;
    std::int32_t depth_ = 0;
};

}  // namespace

ProcessTree mine_tree(const TraceLog& log, std::int32_t universe, const InductiveOptions& options) {
    return InductiveMiner(universe, options).mine(merged(log));
}

namespace {

void mark_leaves(const ProcessTree& tree, std::vector<bool>& in_tree) {
    if (tree.kind() == ProcessTree::Kind::activity) {
        const auto id = static_cast<std::size_t>(tree.activity_id());
        if (id < in_tree.size()) in_tree[id] = true;
    }
    for (const ProcessTree& child : tree.children())
        mark_leaves(child, in_tree);
}

}  // namespace

std::vector<LeftOutActivity> left_out_activities(const ProcessTree& tree, const VariantLog& log) {
    std::vector<bool> in_tree(log.names.size(), false);
    mark_leaves(tree, in_tree);
    // Counted from the traces where the reader did not count them (instances hold two events).
    std::vector<std::int64_t> events = log.events;
    if (events.empty()) {
        events.assign(log.names.size(), 0);
        for (const Trace& trace : log.traces)
            for (const std::int32_t id : trace.events)
                events[static_cast<std::size_t>(id)] += trace.count;
    }
    std::vector<LeftOutActivity> left_out;
    for (std::size_t id = 0; id < log.names.size(); ++id)
        if (!in_tree[id] && events[id] > 0) left_out.push_back({log.names[id], events[id]});
    std::sort(left_out.begin(), left_out.end(), [](const auto& a, const auto& b) {
        return a.events != b.events ? a.events > b.events : a.name < b.name;
    });
    return left_out;
}

}  // namespace vesk
