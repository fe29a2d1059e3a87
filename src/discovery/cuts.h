#pragma once
// The four ways the inductive construction divides the activities of a directly-follows graph:
// an exclusive choice, a sequence, a parallel block and a loop.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "discovery/follows_graph.h"
#include "discovery/process_tree.h"
#include "discovery/union_find.h"

namespace vesk {

struct Cut {
    enum class Kind : std::uint8_t { none, choice, sequence, parallel, loop };
    Kind kind = Kind::none;
    // Activity ids, each part in ascending order. A sequence's parts in their order; a loop's
    // body first, then its ways back. At least two parts unless none.
    std::vector<std::vector<std::int32_t>> parts;
};

// The block of the tree that a cut of this kind makes (a loop for none).
ProcessTree::Kind tree_kind(Cut::Kind kind);

// The cut of the groups of a graph's nodes (Graph: FollowsGraph or SparseFollows), their nodes
// as activity ids; none for fewer than two groups.
template <typename Graph>
Cut cut_of_groups(Cut::Kind kind, const Graph& graph, const Groups& groups) {
    Cut cut;
    if (groups.size() < 2) return cut;
    cut.kind = kind;
    for (const Nodes& group : groups) {
        Nodes ids;
        for (const std::int32_t node : group)
            ids.push_back(graph.activity(node));
        std::sort(ids.begin(), ids.end());
        cut.parts.push_back(std::move(ids));
    }
    return cut;
}

// A parallel cut of the groups: each branch must start and end a case somewhere, and the
// groups that cannot join the first that can. starts(node), ends(node): whether it does.
template <typename Graph>
Cut parallel_cut_of_groups(const Graph& graph, Groups groups) {
    const auto complete = [&graph](const Nodes& group) {
        return std::any_of(group.begin(), group.end(),
                           [&graph](std::int32_t a) { return graph.starts(a) > 0; }) &&
               std::any_of(group.begin(), group.end(),
                           [&graph](std::int32_t a) { return graph.ends(a) > 0; });
    };
    std::sort(groups.begin(), groups.end());
    const auto first = std::find_if(groups.begin(), groups.end(), complete);
    if (first == groups.end()) return Cut{};
    Groups result;
    Nodes merged = *first;
    for (auto group = groups.begin(); group != groups.end(); ++group) {
        if (group == first) continue;
        if (complete(*group))
            result.push_back(*group);
        else
            merged.insert(merged.end(), group->begin(), group->end());
    }
    std::sort(merged.begin(), merged.end());
    result.push_back(std::move(merged));
    std::sort(result.begin(), result.end());
    return cut_of_groups(Cut::Kind::parallel, graph, result);
}

// The first of choice, sequence, parallel and loop that divides the graph.
Cut find_cut(const FollowsGraph& graph);

Cut choice_cut(const FollowsGraph& graph);
Cut sequence_cut(const FollowsGraph& graph);
Cut parallel_cut(const FollowsGraph& graph);
Cut loop_cut(const FollowsGraph& graph);

}  // namespace vesk
