#pragma once
// The directly-follows graph of a trace log: how often one activity directly follows another in
// a case, and how often each starts and ends a case. Nodes are the activities that occur, in
// the order of their ids. Of activity instances, one follows another directly where it began
// after the other ended with no instance wholly between them; instances that overlap are
// concurrent, and count an edge each way.

#include <cstdint>
#include <optional>
#include <vector>

#include "discovery/trace_log.h"

namespace vesk {

// How an eventually-follows graph weighs an activity repeated in a case: each event once towards
// every later activity (n repeats weigh n), or every pair of events (they weigh up to n^2, and
// the rarer activities after them look like noise).
enum class RepeatWeight : std::uint8_t { each_event, every_pair };

class FollowsGraph {
public:
    // universe: one more than the largest activity id the log may hold. The events of the
    // activity `left_out` (if any) are read as if they were not in the log.
    FollowsGraph(const TraceLog& log, std::int32_t universe, std::int32_t left_out = -1)
        : FollowsGraph(log, universe, left_out, std::nullopt) {}
    // The eventually-follows graph: an edge counts the events of a case towards the activities
    // that occur later in it, not only the next one, weighing repeats as `repeats` says.
    static FollowsGraph eventually(const TraceLog& log, std::int32_t universe,
                                   std::int32_t left_out, RepeatWeight repeats);

    std::int32_t size() const { return static_cast<std::int32_t>(activities_.size()); }
    std::int32_t activity(std::int32_t node) const { return activities_[idx(node)]; }
    std::int64_t edge(std::int32_t from, std::int32_t to) const {
        return edges_[idx(from) * activities_.size() + idx(to)];
    }
    bool has_edge(std::int32_t from, std::int32_t to) const { return edge(from, to) > 0; }
    // Either way round.
    bool touches(std::int32_t a, std::int32_t b) const { return has_edge(a, b) || has_edge(b, a); }
    std::int64_t starts(std::int32_t node) const { return starts_[idx(node)]; }
    std::int64_t ends(std::int32_t node) const { return ends_[idx(node)]; }
    bool is_start(std::int32_t node) const { return starts(node) > 0; }
    bool is_end(std::int32_t node) const { return ends(node) > 0; }

    // Without the infrequent behaviour: an edge weaker than threshold times the strongest edge
    // out of the same activity, and a start or an end weaker than threshold times the strongest
    // start or end, are dropped.
    FollowsGraph filtered(double threshold) const;

    // Per position, the instances that the first instance beginning after them is there.
    using Ended = std::vector<std::vector<std::size_t>>;

private:
    // eventually: an eventually-follows graph weighing repeats so; none, directly-follows.
    FollowsGraph(const TraceLog& log, std::int32_t universe, std::int32_t left_out,
                 std::optional<RepeatWeight> eventually);
    static std::size_t idx(std::int32_t node) { return static_cast<std::size_t>(node); }
    std::int64_t& cell(std::int32_t from_id, std::int32_t to_id);
    void add_trace(const Trace& trace, std::optional<RepeatWeight> eventually);
    void add_later(const Trace& trace);
    void add_later_pairs(const Trace& trace, const Ended& ended);

    std::vector<std::int32_t> node_of_;  // by activity id, -1 for none

    std::vector<std::int32_t> activities_;
    std::vector<std::int64_t> edges_;
    std::vector<std::int64_t> starts_;
    std::vector<std::int64_t> ends_;
};

}  // namespace vesk
