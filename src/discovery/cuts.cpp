#include "discovery/cuts.h"

#include <algorithm>
#include <numeric>

#include "discovery/union_find.h"

namespace vesk {

namespace {

Nodes all_nodes(const FollowsGraph& graph) {
    Nodes nodes(static_cast<std::size_t>(graph.size()));
    std::iota(nodes.begin(), nodes.end(), 0);
    return nodes;
}

// reach[a][b]: b can be reached from a along one edge or more.
class Reachability {
public:
    explicit Reachability(const FollowsGraph& graph)
        : n_(static_cast<std::size_t>(graph.size())),
          words_((n_ + 63) / 64),
          bits_(n_ * words_, 0) {
        for (std::size_t a = 0; a < n_; ++a)
            for (std::size_t b = 0; b < n_; ++b)
                if (graph.has_edge(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)))
                    set(a, b);
        for (std::size_t k = 0; k < n_; ++k)
            for (std::size_t a = 0; a < n_; ++a)
                if (get(a, k))
                    for (std::size_t w = 0; w < words_; ++w)
                        bits_[a * words_ + w] |= bits_[k * words_ + w];
    }
    bool get(std::size_t a, std::size_t b) const {
        return (bits_[a * words_ + b / 64] >> (b % 64)) & 1U;
    }

private:
    void set(std::size_t a, std::size_t b) { bits_[a * words_ + b / 64] |= 1ULL << (b % 64); }
    std::size_t n_, words_;
    std::vector<std::uint64_t> bits_;
};

}  // namespace

Cut choice_cut(const FollowsGraph& graph) {
    UnionFind parts(graph.size());
    for (std::int32_t a = 0; a < graph.size(); ++a)
        for (std::int32_t b = a + 1; b < graph.size(); ++b)
            if (graph.touches(a, b)) parts.join(a, b);
    return cut_of_groups(Cut::Kind::choice, graph, parts.groups(all_nodes(graph)));
}

Cut sequence_cut(const FollowsGraph& graph) {
    const Reachability reach(graph);
    const auto r = [&reach](std::int32_t a, std::int32_t b) {
        return reach.get(static_cast<std::size_t>(a), static_cast<std::size_t>(b));
    };
    // Activities on a common cycle, and activities neither of which reaches the other, belong
    // to the same part.
    UnionFind parts(graph.size());
    for (std::int32_t a = 0; a < graph.size(); ++a)
        for (std::int32_t b = a + 1; b < graph.size(); ++b)
            if (r(a, b) == r(b, a)) parts.join(a, b);
    // Parts must be ordered pair by pair: every activity of the earlier one reaches every
    // activity of the later one and none the other way. Parts that are not are joined.
    // Every pair found out of order in a pass is joined in that pass, so that a graph of
    // thousands of activities needs few passes.
    for (bool joined = true; joined;) {
        joined = false;
        const Groups groups = parts.groups(all_nodes(graph));
        for (std::size_t g = 0; g < groups.size(); ++g)
            for (std::size_t h = g + 1; h < groups.size(); ++h) {
                const bool forward = r(groups[g][0], groups[h][0]);
                const bool ordered =
                    std::all_of(groups[g].begin(), groups[g].end(), [&](std::int32_t a) {
                        return std::all_of(groups[h].begin(), groups[h].end(), [&](std::int32_t b) {
                            return r(a, b) == forward && r(b, a) != forward;
                        });
                    });
                if (ordered) continue;
                parts.join(groups[g][0], groups[h][0]);
                joined = true;
            }
    }
    Groups groups = parts.groups(all_nodes(graph));
    std::sort(groups.begin(), groups.end(),
              [&r](const Nodes& g, const Nodes& h) { return r(g[0], h[0]); });
    return cut_of_groups(Cut::Kind::sequence, graph, groups);
}

Cut parallel_cut(const FollowsGraph& graph) {
    UnionFind parts(graph.size());
    for (std::int32_t a = 0; a < graph.size(); ++a)
        for (std::int32_t b = a + 1; b < graph.size(); ++b)
            if (!graph.has_edge(a, b) || !graph.has_edge(b, a)) parts.join(a, b);
    return parallel_cut_of_groups(graph, parts.groups(all_nodes(graph)));
}

Cut loop_cut(const FollowsGraph& graph) {
    const std::int32_t n = graph.size();
    Nodes starts, ends;
    std::vector<bool> in_body(static_cast<std::size_t>(n), false);
    for (std::int32_t a = 0; a < n; ++a) {
        if (graph.is_start(a)) starts.push_back(a);
        if (graph.is_end(a)) ends.push_back(a);
        in_body[static_cast<std::size_t>(a)] = graph.is_start(a) || graph.is_end(a);
    }
    if (starts.empty() || ends.empty()) return Cut{};
    const auto body = [&in_body](std::int32_t a) { return in_body[static_cast<std::size_t>(a)]; };
    UnionFind parts(n);
    Nodes others;
    for (std::int32_t a = 0; a < n; ++a) {
        if (body(a)) continue;
        others.push_back(a);
        for (std::int32_t b = a + 1; b < n; ++b)
            if (!body(b) && graph.touches(a, b)) parts.join(a, b);
    }
    // A way back is entered only from the body's ends, from all of them, and leads only to the
    // body's starts, to all of them; any other part belongs to the body.
    const auto way_back = [&](const Nodes& part) {
        for (const std::int32_t a : part) {
            bool from_end = false, to_start = false;
            for (std::int32_t x = 0; x < n; ++x) {
                if (!body(x)) continue;
                if (graph.has_edge(x, a)) {
                    if (!graph.is_end(x)) return false;
                    from_end = true;
                }
                if (graph.has_edge(a, x)) {
                    if (!graph.is_start(x)) return false;
                    to_start = true;
                }
            }
            for (const std::int32_t e : ends)
                if (from_end && !graph.has_edge(e, a)) return false;
            for (const std::int32_t s : starts)
                if (to_start && !graph.has_edge(a, s)) return false;
        }
        return true;
    };
    Groups result(1);
    for (const Nodes& part : parts.groups(others)) {
        if (way_back(part))
            result.push_back(part);
        else
            result[0].insert(result[0].end(), part.begin(), part.end());
    }
    for (std::int32_t a = 0; a < n; ++a)
        if (body(a)) result[0].push_back(a);
    return cut_of_groups(Cut::Kind::loop, graph, result);
}

ProcessTree::Kind tree_kind(Cut::Kind kind) {
    switch (kind) {
        case Cut::Kind::choice:
            return ProcessTree::Kind::choice;
        case Cut::Kind::sequence:
            return ProcessTree::Kind::sequence;
        case Cut::Kind::parallel:
            return ProcessTree::Kind::parallel;
        default:
            return ProcessTree::Kind::loop;
    }
}

Cut find_cut(const FollowsGraph& graph) {
    if (graph.size() < 2) return Cut{};
    for (const auto finder : {choice_cut, sequence_cut, parallel_cut, loop_cut}) {
        Cut cut = finder(graph);
        if (cut.kind != Cut::Kind::none) return cut;
    }
    return Cut{};
}

}  // namespace vesk
