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
        if (end_ < 0 && is_end_place(*places[i])) end_ = static_cast<std::int32_t>(i);
    }
    std::unordered_map<const Ttransition*, std::size_t> step_of;
    for (const auto& transition : net.transitions())
        if (transition->name.find(kSkipMarker) != std::string::npos) {
            step_of[transition.get()] = invisible_.size();
            invisible_.push_back(Step{transition.get(), {}, {}});
        }
    std::unordered_map<const Ttransition*, std::vector<std::int32_t>> inputs_of;
    for (const auto& arc : net.arcs()) {
        const std::int32_t place = index_.at(arc->place);
        if (!arc->to_place) inputs_of[arc->transition].push_back(place);
        const auto found = step_of.find(arc->transition);
        if (found == step_of.end()) continue;
        Step& step = invisible_[found->second];
        (arc->to_place ? step.outputs : step.inputs).push_back(place);
    }
    for (auto& [transition, inputs] : inputs_of)
        goal_of_transition_[transition] = goal_of(std::move(inputs));
    if (end_ >= 0) end_goal_ = goal_of({end_});
}

InvisibleSearch::Goal InvisibleSearch::goal_of(std::vector<std::int32_t> places) const {
    Goal goal;
    std::vector<bool> useful_place(index_.size(), false);
    std::vector<bool> useful_step(invisible_.size(), false);
    for (const std::int32_t p : places)
        useful_place[static_cast<std::size_t>(p)] = true;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t s = 0; s < invisible_.size(); ++s) {
            if (useful_step[s]) continue;
            const auto& outputs = invisible_[s].outputs;
            if (std::none_of(outputs.begin(), outputs.end(), [&](std::int32_t p) {
                    return useful_place[static_cast<std::size_t>(p)];
                }))
                continue;
            useful_step[s] = true;
            grew = true;
            for (const std::int32_t p : invisible_[s].inputs)
                useful_place[static_cast<std::size_t>(p)] = true;
        }
    }
    for (std::size_t s = 0; s < invisible_.size(); ++s)
        if (useful_step[s]) goal.steps.push_back(s);
    goal.places = std::move(places);
    return goal;
}

bool InvisibleSearch::enabled(const Marking& marking, const std::vector<std::int32_t>& inputs) {
    return std::all_of(inputs.begin(), inputs.end(), [&marking](std::int32_t place) {
        return marking[static_cast<std::size_t>(place)] > 0;
    });
}

template <typename Reached>
std::vector<Ttransition*> InvisibleSearch::search(const Marking& start,
                                                  const std::vector<std::size_t>& steps,
                                                  Reached reached, bool& found) const {
    found = false;
    struct Node {
        Marking marking;
        std::int64_t parent;
        Ttransition* via;
    };
    std::vector<Node> nodes{Node{start, -1, nullptr}};
    std::unordered_map<Marking, std::size_t, MarkingHash> seen{{start, 0}};
    for (std::size_t at = 0; at < nodes.size(); ++at) {
        if (reached(nodes[at].marking)) {
            found = true;
            std::vector<Ttransition*> path;
            for (const Node* n = &nodes[at]; n->parent >= 0;
                 n = &nodes[static_cast<std::size_t>(n->parent)])
                path.push_back(n->via);
            std::reverse(path.begin(), path.end());
            return path;
        }
        if (nodes.size() >= kMaxInvisibleMarkings) continue;
        for (const std::size_t s : steps) {
            const Step& step = invisible_[s];
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
    const auto found = goal_of_transition_.find(target);
    if (found == goal_of_transition_.end()) return {};
    const Goal& goal = found->second;
    bool reached = false;
    return search(
        marking, goal.steps, [&goal](const Marking& m) { return enabled(m, goal.places); },
        reached);
}

std::vector<Ttransition*> InvisibleSearch::completing(const Marking& marking) const {
    if (end_ < 0) return {};
    const auto end = static_cast<std::size_t>(end_);
    bool reached = false;
    auto alone = search(
        marking, end_goal_.steps,
        [end](const Marking& m) {
            for (std::size_t p = 0; p < m.size(); ++p)
                if (m[p] != (p == end ? 1 : 0)) return false;
            return true;
        },
        reached);
    if (reached) return alone;
    return search(
        marking, end_goal_.steps, [end](const Marking& m) { return m[end] > 0; }, reached);
}

}  // namespace vesk
