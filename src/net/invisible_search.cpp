#include "net/invisible_search.h"

#include <algorithm>
#include <deque>
#include <string>

namespace vesk {

namespace {

struct MarkingHash {
    std::size_t operator()(const InvisibleSearch::Marking& marking) const noexcept {
        std::uint64_t hash = 1469598103934665603ULL;
        for (const std::int64_t tokens : marking) {
            hash ^= static_cast<std::uint64_t>(tokens);
            hash *= 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};

}  // namespace

InvisibleSearch::InvisibleSearch(const Tpetrinet& net) {
    const auto& places = net.places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        index_[places[i].get()] = static_cast<std::int32_t>(i);
        if (end_ < 0 && places[i]->output_set == kEndSet) end_ = static_cast<std::int32_t>(i);
    }
    std::unordered_map<const Ttransition*, std::size_t> step_of;
    for (const auto& transition : net.transitions())
        if (transition->name.find(kSkipMarker) != std::string::npos) {
            step_of[transition.get()] = invisible_.size();
            invisible_.push_back(Step{transition.get(), {}, {}});
        }
    for (const auto& arc : net.arcs()) {
        const std::int32_t place = index_.at(arc->place);
        if (!arc->to_place) inputs_of_[arc->transition].push_back(place);
        const auto found = step_of.find(arc->transition);
        if (found == step_of.end()) continue;
        Step& step = invisible_[found->second];
        (arc->to_place ? step.outputs : step.inputs).push_back(place);
    }
}

bool InvisibleSearch::enabled(const Marking& marking,
                              const std::vector<std::int32_t>& inputs) const {
    return std::all_of(inputs.begin(), inputs.end(), [&marking](std::int32_t place) {
        return marking[static_cast<std::size_t>(place)] > 0;
    });
}

template <typename Goal>
std::vector<Ttransition*> InvisibleSearch::search(const Marking& start, Goal goal,
                                                  bool& found) const {
    found = false;
    struct Node {
        Marking marking;
        std::int64_t parent;
        Ttransition* via;
    };
    std::vector<Node> nodes{Node{start, -1, nullptr}};
    std::unordered_map<Marking, std::size_t, MarkingHash> seen{{start, 0}};
    for (std::size_t at = 0; at < nodes.size(); ++at) {
        if (goal(nodes[at].marking)) {
            found = true;
            std::vector<Ttransition*> path;
            for (const Node* n = &nodes[at]; n->parent >= 0;
                 n = &nodes[static_cast<std::size_t>(n->parent)])
                path.push_back(n->via);
            std::reverse(path.begin(), path.end());
            return path;
        }
        if (nodes.size() >= kMaxInvisibleMarkings) continue;
        for (const Step& step : invisible_) {
            if (!enabled(nodes[at].marking, step.inputs)) continue;
            Marking next = nodes[at].marking;
            for (const std::int32_t p : step.inputs)
                --next[static_cast<std::size_t>(p)];
            for (const std::int32_t p : step.outputs)
                ++next[static_cast<std::size_t>(p)];
            if (seen.try_emplace(next, nodes.size()).second)
                nodes.push_back(
                    Node{std::move(next), static_cast<std::int64_t>(at), step.transition});
        }
    }
    return {};
}

std::vector<Ttransition*> InvisibleSearch::enabling(const Marking& marking,
                                                    const Ttransition* target) const {
    const auto found = inputs_of_.find(target);
    if (found == inputs_of_.end() || found->second.empty()) return {};
    const std::vector<std::int32_t>& inputs = found->second;
    bool reached = false;
    return search(
        marking, [&](const Marking& m) { return enabled(m, inputs); }, reached);
}

std::vector<Ttransition*> InvisibleSearch::completing(const Marking& marking) const {
    if (end_ < 0) return {};
    const auto end = static_cast<std::size_t>(end_);
    bool reached = false;
    auto alone = search(
        marking,
        [end](const Marking& m) {
            for (std::size_t p = 0; p < m.size(); ++p)
                if (m[p] != (p == end ? 1 : 0)) return false;
            return true;
        },
        reached);
    if (reached) return alone;
    return search(
        marking, [end](const Marking& m) { return m[end] > 0; }, reached);
}

}  // namespace vesk
