// The cuts of a graph held by its edges (declared in sparse_follows.h).

#include <algorithm>
#include <numeric>

#include "discovery/sparse_follows.h"
#include "discovery/union_find.h"

namespace vesk {

namespace {

std::size_t at(std::int32_t x) {
    return static_cast<std::size_t>(x);
}

Nodes all_nodes(const SparseFollows& graph) {
    Nodes nodes(at(graph.size()));
    std::iota(nodes.begin(), nodes.end(), 0);
    return nodes;
}

// The sources of the edges into each node.
std::vector<Nodes> incoming(const SparseFollows& graph) {
    std::vector<Nodes> in(at(graph.size()));
    for (std::int32_t from = 0; from < graph.size(); ++from)
        for (const EdgeCount& edge : graph.out(from))
            in[at(edge.to)].push_back(from);
    return in;
}

// Strongly connected components (Tarjan's algorithm without recursion), numbered in the order
// they are completed: a component's successors come before it.
class Components {
public:
    explicit Components(const SparseFollows& graph)
        : component_(at(graph.size()), -1), index_(at(graph.size()), -1), low_(index_) {
        for (std::int32_t root = 0; root < graph.size(); ++root)
            if (index_[at(root)] < 0) visit(graph, root);
    }
    std::int32_t of(std::int32_t node) const { return component_[at(node)]; }
    std::int32_t count() const { return count_; }

private:
    void visit(const SparseFollows& graph, std::int32_t root) {
        std::vector<std::pair<std::int32_t, std::size_t>> frames{{root, 0}};
        open(root);
        while (!frames.empty()) {
            auto& [node, next] = frames.back();
            const auto& edges = graph.out(node);
            if (next < edges.size()) {
                const std::int32_t to = edges[next++].to;
                if (index_[at(to)] < 0) {
                    open(to);
                    frames.push_back({to, 0});
                } else if (component_[at(to)] < 0) {
                    low_[at(node)] = std::min(low_[at(node)], index_[at(to)]);
                }
                continue;
            }
            const std::int32_t done = node;
            frames.pop_back();
            if (!frames.empty())
                low_[at(frames.back().first)] =
                    std::min(low_[at(frames.back().first)], low_[at(done)]);
            if (low_[at(done)] != index_[at(done)]) continue;
            for (std::int32_t member = -1; member != done;) {
                member = stack_.back();
                stack_.pop_back();
                component_[at(member)] = count_;
            }
            ++count_;
        }
    }
    void open(std::int32_t node) {
        index_[at(node)] = low_[at(node)] = next_index_++;
        stack_.push_back(node);
    }

    std::vector<std::int32_t> component_, index_, low_;
    Nodes stack_;
    std::int32_t next_index_ = 0;
    std::int32_t count_ = 0;
};

// reach(c, d): component d can be reached from component c.
class ComponentReach {
public:
    ComponentReach(const SparseFollows& graph, const Components& components)
        : words_((at(components.count()) + 63) / 64), bits_(at(components.count()) * words_, 0) {
        std::vector<Nodes> successors(at(components.count()));
        for (std::int32_t from = 0; from < graph.size(); ++from)
            for (const EdgeCount& edge : graph.out(from))
                if (components.of(from) != components.of(edge.to))
                    successors[at(components.of(from))].push_back(components.of(edge.to));
        // Successors are completed first, so their reach is known.
        for (std::int32_t c = 0; c < components.count(); ++c)
            for (const std::int32_t d : successors[at(c)]) {
                bits_[at(c) * words_ + at(d) / 64] |= 1ULL << (at(d) % 64);
                for (std::size_t w = 0; w < words_; ++w)
                    bits_[at(c) * words_ + w] |= bits_[at(d) * words_ + w];
            }
    }
    bool operator()(std::int32_t c, std::int32_t d) const {
        return (bits_[at(c) * words_ + at(d) / 64] >> (at(d) % 64)) & 1U;
    }

private:
    std::size_t words_;
    std::vector<std::uint64_t> bits_;
};

}  // namespace

Cut sparse_choice_cut(const SparseFollows& graph) {
    UnionFind parts(graph.size());
    for (std::int32_t from = 0; from < graph.size(); ++from)
        for (const EdgeCount& edge : graph.out(from))
            parts.join(from, edge.to);
    return cut_of_groups(Cut::Kind::choice, graph, parts.groups(all_nodes(graph)));
}

Cut sparse_sequence_cut(const SparseFollows& graph) {
    const Components components(graph);
    const ComponentReach reach(graph, components);
    const std::int32_t k = components.count();
    // Components neither of which reaches the other belong to the same part; then parts that
    // are not ordered pair by pair are joined, as on the full graph.
    UnionFind parts(k);
    for (std::int32_t c = 0; c < k; ++c)
        for (std::int32_t d = c + 1; d < k; ++d)
            if (!reach(c, d) && !reach(d, c)) parts.join(c, d);
    Nodes every(at(k));
    std::iota(every.begin(), every.end(), 0);
    for (bool joined = true; joined;) {
        joined = false;
        const Groups groups = parts.groups(every);
        for (std::size_t g = 0; g < groups.size(); ++g)
            for (std::size_t h = g + 1; h < groups.size(); ++h) {
                const bool forward = reach(groups[g][0], groups[h][0]);
                const bool ordered = std::all_of(groups[g].begin(), groups[g].end(), [&](auto c) {
                    return std::all_of(groups[h].begin(), groups[h].end(), [&](auto d) {
                        return reach(c, d) == forward && reach(d, c) != forward;
                    });
                });
                if (ordered) continue;
                parts.join(groups[g][0], groups[h][0]);
                joined = true;
            }
    }
    Groups ordered = parts.groups(every);
    std::sort(ordered.begin(), ordered.end(),
              [&reach](const Nodes& g, const Nodes& h) { return reach(g[0], h[0]); });
    std::vector<std::int32_t> group_of(at(k));
    for (std::size_t g = 0; g < ordered.size(); ++g)
        for (const std::int32_t c : ordered[g])
            group_of[at(c)] = static_cast<std::int32_t>(g);
    Groups groups(ordered.size());
    for (std::int32_t node = 0; node < graph.size(); ++node)
        groups[at(group_of[at(components.of(node))])].push_back(node);
    return cut_of_groups(Cut::Kind::sequence, graph, groups);
}

Cut sparse_parallel_cut(const SparseFollows& graph) {
    // Nodes go together unless edges join them both ways: the components of that complement,
    // found by walking it with a list of the nodes not yet reached.
    const std::vector<Nodes> in = incoming(graph);
    std::vector<bool> both_ways(at(graph.size()), false);
    Nodes unreached = all_nodes(graph);
    Groups groups;
    while (!unreached.empty()) {
        Nodes group{unreached.back()};
        unreached.pop_back();
        for (std::size_t next = 0; next < group.size(); ++next) {
            const std::int32_t node = group[next];
            for (const std::int32_t from : in[at(node)])
                if (graph.has_edge(node, from)) both_ways[at(from)] = true;
            Nodes still;
            for (const std::int32_t other : unreached)
                (both_ways[at(other)] ? still : group).push_back(other);
            unreached = std::move(still);
            for (const std::int32_t from : in[at(node)])
                both_ways[at(from)] = false;
        }
        std::sort(group.begin(), group.end());
        groups.push_back(std::move(group));
    }
    return parallel_cut_of_groups(graph, std::move(groups));
}

namespace {

// A part outside the loop's body is a way back when it is entered only from the body's ends,
// from all of them, and leads only to the body's starts, to all of them.
// starts, ends: how many of the graph's nodes start and end a case.
bool way_back(const SparseFollows& graph, const std::vector<Nodes>& in,
              const std::vector<bool>& in_body, std::int64_t starts, std::int64_t ends,
              const Nodes& part) {
    for (const std::int32_t a : part) {
        std::int64_t from_ends = 0, to_starts = 0;
        for (const std::int32_t from : in[at(a)]) {
            if (!in_body[at(from)]) continue;
            if (graph.ends(from) == 0) return false;
            ++from_ends;
        }
        for (const EdgeCount& edge : graph.out(a)) {
            if (!in_body[at(edge.to)]) continue;
            if (graph.starts(edge.to) == 0) return false;
            ++to_starts;
        }
        if ((from_ends > 0 && from_ends < ends) || (to_starts > 0 && to_starts < starts))
            return false;
    }
    return true;
}

}  // namespace

Cut sparse_loop_cut(const SparseFollows& graph) {
    std::vector<bool> in_body(at(graph.size()), false);
    std::int64_t starts = 0, ends = 0;
    for (std::int32_t a = 0; a < graph.size(); ++a) {
        starts += graph.starts(a) > 0 ? 1 : 0;
        ends += graph.ends(a) > 0 ? 1 : 0;
        in_body[at(a)] = graph.starts(a) > 0 || graph.ends(a) > 0;
    }
    if (starts == 0 || ends == 0) return Cut{};
    UnionFind parts(graph.size());
    Nodes others;
    for (std::int32_t a = 0; a < graph.size(); ++a) {
        if (in_body[at(a)]) continue;
        others.push_back(a);
        for (const EdgeCount& edge : graph.out(a))
            if (!in_body[at(edge.to)]) parts.join(a, edge.to);
    }
    const std::vector<Nodes> in = incoming(graph);
    Groups result(1);
    for (const Nodes& part : parts.groups(others)) {
        if (way_back(graph, in, in_body, starts, ends, part))
            result.push_back(part);
        else
            result[0].insert(result[0].end(), part.begin(), part.end());
    }
    for (std::int32_t a = 0; a < graph.size(); ++a)
        if (in_body[at(a)]) result[0].push_back(a);
    return cut_of_groups(Cut::Kind::loop, graph, result);
}

Cut find_sparse_cut(const SparseFollows& graph) {
    if (graph.size() < 2) return Cut{};
    for (const auto finder :
         {sparse_choice_cut, sparse_sequence_cut, sparse_parallel_cut, sparse_loop_cut}) {
        Cut cut = finder(graph);
        if (cut.kind != Cut::Kind::none) return cut;
    }
    return Cut{};
}

}  // namespace vesk
