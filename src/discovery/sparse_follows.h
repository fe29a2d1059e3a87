#pragma once
// A directly-follows graph held by its edges, for blocks of very many activities, where a graph
// of every pair would not fit in memory. Beside the edges it knows how often each activity
// starts and ends a case, and how many cases are empty. Its parts are divided as the cases of a
// cut would be: a part of a sequence starts where edges from other parts enter it, and is
// skipped as often as edges jump over it.

#include <cstdint>
#include <vector>

#include "discovery/cuts.h"
#include "discovery/trace_log.h"

namespace vesk {

struct EdgeCount {
    std::int32_t to = 0;  // a node
    std::int64_t count = 0;
    friend bool operator==(const EdgeCount&, const EdgeCount&) = default;
};

class SparseFollows {
public:
    // universe: one more than the largest activity id of the log.
    SparseFollows(const TraceLog& log, std::int32_t universe);

    std::int32_t size() const { return static_cast<std::int32_t>(activities_.size()); }
    std::int32_t activity(std::int32_t node) const { return activities_[at(node)]; }
    // By target node, ascending.
    const std::vector<EdgeCount>& out(std::int32_t node) const { return out_[at(node)]; }
    std::int64_t starts(std::int32_t node) const { return starts_[at(node)]; }
    std::int64_t ends(std::int32_t node) const { return ends_[at(node)]; }
    std::int64_t empty() const { return empty_; }
    void forget_empty() { empty_ = 0; }
    bool has_edge(std::int32_t from, std::int32_t to) const;

    // Without edges weaker than threshold times the strongest edge out of the same activity,
    // and starts and ends weaker than threshold times the strongest.
    SparseFollows filtered(double threshold) const;
    // The graph of each part of the cut (parts of activity ids, as the cut has them).
    std::vector<SparseFollows> split(const Cut& cut) const;

private:
    SparseFollows() = default;
    static std::size_t at(std::int32_t node) { return static_cast<std::size_t>(node); }
    // The graph of the nodes of part p (part_of: part by node).
    SparseFollows part(const std::vector<std::int32_t>& part_of, std::int32_t p,
                       Cut::Kind kind) const;

    std::vector<std::int32_t> activities_;
    std::vector<std::vector<EdgeCount>> out_;
    std::vector<std::int64_t> starts_;
    std::vector<std::int64_t> ends_;
    std::int64_t empty_ = 0;
};

// The four cuts on a graph held by its edges, found as on the full graph (cuts.h); the
// sequence through the graph's strongly connected components, so that thousands of
// activities take seconds.
Cut find_sparse_cut(const SparseFollows& graph);
Cut sparse_choice_cut(const SparseFollows& graph);
Cut sparse_sequence_cut(const SparseFollows& graph);
Cut sparse_parallel_cut(const SparseFollows& graph);
Cut sparse_loop_cut(const SparseFollows& graph);

}  // namespace vesk
