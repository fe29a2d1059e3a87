#pragma once
// Groups of nodes joined pair by pair, for the cuts of a directly-follows graph.

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace vesk {

using Nodes = std::vector<std::int32_t>;
using Groups = std::vector<Nodes>;

class UnionFind {
public:
    explicit UnionFind(std::int32_t size) : parent_(static_cast<std::size_t>(size)) {
        std::iota(parent_.begin(), parent_.end(), 0);
    }
    std::int32_t find(std::int32_t x) {
        while (parent_[at(x)] != x) {
            parent_[at(x)] = parent_[at(parent_[at(x)])];
            x = parent_[at(x)];
        }
        return x;
    }
    void join(std::int32_t a, std::int32_t b) {
        a = find(a);
        b = find(b);
        if (a != b) parent_[at(std::max(a, b))] = std::min(a, b);
    }
    // The groups of the given nodes, each in ascending order, ordered by their smallest node.
    Groups groups(const Nodes& nodes) {
        Groups result;
        std::vector<std::int32_t> group_of(parent_.size(), -1);
        for (const std::int32_t node : nodes) {
            auto& group = group_of[at(find(node))];
            if (group < 0) {
                group = static_cast<std::int32_t>(result.size());
                result.emplace_back();
            }
            result[at(group)].push_back(node);
        }
        return result;
    }

private:
    static std::size_t at(std::int32_t x) { return static_cast<std::size_t>(x); }
    std::vector<std::int32_t> parent_;
};

}  // namespace vesk
