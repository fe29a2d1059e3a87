#include "discovery/graph_miner.h"

#include <algorithm>
#include <utility>

#include "discovery/inductive_miner.h"

namespace vesk {

namespace {

using Kind = ProcessTree::Kind;

class GraphMiner {
public:
    explicit GraphMiner(double noise) : noise_(std::clamp(noise, 0.0, 1.0)) {}

    ProcessTree mine(SparseFollows graph) {
        ++depth_;
        ProcessTree tree = mine_block(std::move(graph));
        --depth_;
        return tree;
    }

private:
    ProcessTree mine_block(SparseFollows graph) {
        if (graph.size() == 0) return ProcessTree::silent();
        if (graph.empty() > 0) {
            std::int64_t cases = graph.empty();
            for (std::int32_t node = 0; node < graph.size(); ++node)
                cases += graph.starts(node);
            const bool frequent =
                static_cast<double>(graph.empty()) >= noise_ * static_cast<double>(cases);
            graph.forget_empty();
            if (frequent)
                return ProcessTree::node(Kind::choice,
                                         {mine(std::move(graph)), ProcessTree::silent()});
        }
        if (graph.size() == 1) {
            ProcessTree leaf = ProcessTree::activity(graph.activity(0));
            if (!graph.has_edge(0, 0)) return leaf;
            return ProcessTree::node(Kind::loop, {std::move(leaf), ProcessTree::silent()});
        }
        if (depth_ <= kMaxDepth) {
            if (Cut cut = find_sparse_cut(graph); cut.kind != Cut::Kind::none)
                return divide(graph, cut);
            if (noise_ > 0.0) {
                SparseFollows filtered = graph.filtered(noise_);
                if (Cut cut = find_sparse_cut(filtered); cut.kind != Cut::Kind::none)
                    return divide(filtered, cut);
            }
        }
        return flower(graph);
    }

    ProcessTree divide(const SparseFollows& graph, const Cut& cut) {
        std::vector<ProcessTree> children;
        for (SparseFollows& part : graph.split(cut))
            children.push_back(mine(std::move(part)));
        return ProcessTree::node(tree_kind(cut.kind), std::move(children));
    }

    static ProcessTree flower(const SparseFollows& graph) {
        std::vector<std::int32_t> activities;
        for (std::int32_t node = 0; node < graph.size(); ++node)
            activities.push_back(graph.activity(node));
        return ProcessTree::flower(activities);
    }

    double noise_;
    std::int32_t depth_ = 0;
};

}  // namespace

ProcessTree mine_graph_tree(SparseFollows graph, double noise) {
    return GraphMiner(noise).mine(std::move(graph));
}

}  // namespace vesk
