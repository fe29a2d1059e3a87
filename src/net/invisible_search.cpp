#include "net/invisible_search.h"

#include <algorithm>
#include <unordered_map>

namespace vesk {

namespace {

struct MarkingHash {
    std::size_t operator()(const InvisibleSearch::Marking& marking) const noexcept {
        std::uint64_t hash = 1469598103934665603ULL;
        for (const std::int32_t tokens : marking) {
            hash ^= static_cast<std::uint32_t>(tokens);
            hash *= 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};

std::size_t at(std::int32_t i) {
    return static_cast<std::size_t>(i);
}

const std::vector<std::int32_t> kNoTransitions;

}  // namespace

// What a search looks for, and the transitions every way to it must fire one of.
struct InvisibleSearch::Goal {
    enum class Kind : std::uint8_t { enabled, end_alone, end_marked };
    Kind kind;
    std::int32_t target = -1;

    bool reached(const TokenNet& net, const Marking& m) const {
        switch (kind) {
            case Kind::enabled:
                return std::all_of(net.inputs(target).begin(), net.inputs(target).end(),
                                   [&m](std::int32_t p) { return m[at(p)] > 0; });
            case Kind::end_alone:
                for (std::size_t p = 0; p < m.size(); ++p)
                    if (m[p] != (p == at(net.end_place()) ? 1 : 0)) return false;
                return true;
            case Kind::end_marked:
                return m[at(net.end_place())] > 0;
        }
        return false;
    }

    // Called only where the goal does not hold.
    const std::vector<std::int32_t>& must_fire_one_of(const InvisibleSearch& search,
                                                      const Marking& m) const {
        const TokenNet& net = search.net_;
        const std::int32_t end = net.end_place();
        switch (kind) {
            case Kind::enabled:
                return net.producers(search.scapegoat(m, target));
            case Kind::end_marked:
                return net.producers(end);
            case Kind::end_alone:
                break;
        }
        // Of the conditions the marking breaks, the one with the fewest ways to mend it: none
        // at all (a token no invisible transition takes) ends the search here.
        const std::vector<std::int32_t>* fewest = m[at(end)] == 0  ? &net.producers(end)
                                                  : m[at(end)] > 1 ? &net.consumers(end)
                                                                   : nullptr;
        for (std::size_t p = 0; p < m.size(); ++p) {
            if (m[p] == 0 || p == at(end)) continue;
            if (!net.drains_invisibly(static_cast<std::int32_t>(p))) return kNoTransitions;
            const auto& consumers = net.consumers(static_cast<std::int32_t>(p));
            if (fewest == nullptr || consumers.size() < fewest->size()) fewest = &consumers;
        }
        return *fewest;
    }
};

bool InvisibleSearch::is_enabled(const Marking& marking, std::int32_t transition) const {
    const auto& inputs = net_.inputs(transition);
    return std::all_of(inputs.begin(), inputs.end(),
                       [&marking](std::int32_t p) { return marking[at(p)] > 0; });
}

std::int32_t InvisibleSearch::scapegoat(const Marking& marking, std::int32_t transition) const {
    std::int32_t best = -1;
    for (const std::int32_t p : net_.inputs(transition))
        if (marking[at(p)] == 0 &&
            (best < 0 || net_.producers(p).size() < net_.producers(best).size()))
            best = p;
    return best;
}

void InvisibleSearch::stubborn_set(const Marking& marking, const Goal& goal,
                                   std::vector<std::int32_t>& enabled) const {
    enabled.clear();
    std::vector<std::uint8_t> in_set(at(net_.transition_count()), 0);
    std::vector<std::int32_t> pending;
    const auto add = [&](const std::vector<std::int32_t>& transitions) {
        for (const std::int32_t t : transitions)
            if (in_set[at(t)] == 0) {
                in_set[at(t)] = 1;
                pending.push_back(t);
            }
    };
    add(goal.must_fire_one_of(*this, marking));
    while (!pending.empty()) {
        const std::int32_t t = pending.back();
        pending.pop_back();
        if (is_enabled(marking, t)) {
            enabled.push_back(t);
            for (const std::int32_t p : net_.inputs(t))
                add(net_.consumers(p));
        } else {
            add(net_.producers(scapegoat(marking, t)));
        }
    }
    std::sort(enabled.begin(), enabled.end());
}

InvisibleSearch::Path InvisibleSearch::search(const Marking& start, const Goal& goal) const {
    struct Node {
        Marking marking;
        std::int64_t parent;
        std::int32_t via;
    };
    std::vector<Node> nodes{Node{start, -1, -1}};
    std::unordered_map<Marking, std::size_t, MarkingHash> seen{{start, 0}};
    std::vector<std::int32_t> steps;
    for (std::size_t at_node = 0; at_node < nodes.size(); ++at_node) {
        if (goal.reached(net_, nodes[at_node].marking)) {
            Path path{Outcome::found, {}};
            for (const Node* n = &nodes[at_node]; n->parent >= 0;
                 n = &nodes[static_cast<std::size_t>(n->parent)])
                path.firings.push_back(n->via);
            std::reverse(path.firings.begin(), path.firings.end());
            return path;
        }
        stubborn_set(nodes[at_node].marking, goal, steps);
        for (const std::int32_t t : steps) {
            Marking next = nodes[at_node].marking;
            for (const std::int32_t p : net_.inputs(t))
                --next[at(p)];
            for (const std::int32_t p : net_.outputs(t))
                ++next[at(p)];
            if (!seen.try_emplace(next, nodes.size()).second) continue;
            if (nodes.size() >= bound_) return Path{Outcome::undecided, {}};
            nodes.push_back(Node{std::move(next), static_cast<std::int64_t>(at_node), t});
        }
    }
    return Path{Outcome::unreachable, {}};
}

InvisibleSearch::Path InvisibleSearch::enabling(const Marking& marking, std::int32_t target) const {
    return search(marking, Goal{Goal::Kind::enabled, target});
}

InvisibleSearch::Path InvisibleSearch::completing(const Marking& marking) const {
    if (net_.end_place() < 0) return Path{Outcome::unreachable, {}};
    Marking alone_at_end(marking.size(), 0);
    alone_at_end[at(net_.end_place())] = 1;
    if (invariants_.may_connect(marking, alone_at_end)) {
        Path alone = search(marking, Goal{Goal::Kind::end_alone});
        if (alone.outcome != Outcome::unreachable) return alone;
    }
    return search(marking, Goal{Goal::Kind::end_marked});
}

}  // namespace vesk
