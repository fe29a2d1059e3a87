#pragma once
// The four ways the inductive construction divides the activities of a directly-follows graph:
// an exclusive choice, a sequence, a parallel block and a loop.

#include <cstdint>
#include <vector>

#include "discovery/follows_graph.h"

namespace vesk {

struct Cut {
    enum class Kind : std::uint8_t { none, choice, sequence, parallel, loop };
    Kind kind = Kind::none;
    // Activity ids, each part in ascending order. A sequence's parts in their order; a loop's
    // body first, then its ways back. At least two parts unless none.
    std::vector<std::vector<std::int32_t>> parts;
};

// The first of choice, sequence, parallel and loop that divides the graph.
Cut find_cut(const FollowsGraph& graph);

Cut choice_cut(const FollowsGraph& graph);
Cut sequence_cut(const FollowsGraph& graph);
Cut parallel_cut(const FollowsGraph& graph);
Cut loop_cut(const FollowsGraph& graph);

}  // namespace vesk
