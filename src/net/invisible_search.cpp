#include "net/invisible_search.h"

#include <algorithm>

namespace vesk {

namespace {

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

    bool reached(const TokenNet& net, Tokens m) const {
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
                                                      Tokens m) const {
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

bool InvisibleSearch::is_enabled(Tokens marking, std::int32_t transition) const {
    const auto& inputs = net_.inputs(transition);
    return std::all_of(inputs.begin(), inputs.end(),
                       [&marking](std::int32_t p) { return marking[at(p)] > 0; });
}

std::int32_t InvisibleSearch::scapegoat(Tokens marking, std::int32_t transition) const {
    std::int32_t best = -1;
    for (const std::int32_t p : net_.inputs(transition))
        if (marking[at(p)] == 0 &&
            (best < 0 || net_.producers(p).size() < net_.producers(best).size()))
            best = p;
    return best;
}

void InvisibleSearch::stubborn_set(Tokens marking, const Goal& goal,
                                   std::vector<std::uint8_t>& in_set,
                                   std::vector<std::int32_t>& enabled) const {
    enabled.clear();
    std::vector<std::int32_t> members;
    std::size_t next = 0;
    const auto add = [&](const std::vector<std::int32_t>& transitions) {
        for (const std::int32_t t : transitions)
            if (in_set[at(t)] == 0) {
                in_set[at(t)] = 1;
                members.push_back(t);
            }
    };
    add(goal.must_fire_one_of(*this, marking));
    for (; next < members.size(); ++next) {
        const std::int32_t t = members[next];
        if (is_enabled(marking, t)) {
            enabled.push_back(t);
            for (const std::int32_t p : net_.inputs(t))
                add(net_.consumers(p));
        } else {
            add(net_.producers(scapegoat(marking, t)));
        }
    }
    for (const std::int32_t t : members)
        in_set[at(t)] = 0;
    std::sort(enabled.begin(), enabled.end());
}

// The markings a search has met, side by side in one array, with an open-addressing table of
// their positions: no allocation per marking.
class InvisibleSearch::Visited {
public:
    explicit Visited(std::size_t places) : places_(places), slots_(64, kEmpty) {}

    std::size_t size() const { return hashes_.size(); }
    Tokens marking(std::size_t node) const { return {tokens_.data() + node * places_, places_}; }
    // Adds the marking unless it is there; true when added.
    bool add(Tokens marking) {
        const std::uint64_t hash = hash_of(marking);
        std::size_t slot = hash & (slots_.size() - 1);
        for (; slots_[slot] != kEmpty; slot = (slot + 1) & (slots_.size() - 1)) {
            const std::size_t node = slots_[slot];
            if (hashes_[node] == hash &&
                std::equal(marking.begin(), marking.end(), this->marking(node).begin()))
                return false;
        }
        slots_[slot] = static_cast<std::uint32_t>(hashes_.size());
        hashes_.push_back(hash);
        tokens_.insert(tokens_.end(), marking.begin(), marking.end());
        if (2 * hashes_.size() > slots_.size()) grow();
        return true;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFU;
    static std::uint64_t hash_of(Tokens marking) {
        std::uint64_t hash = 1469598103934665603ULL;
        for (const std::int32_t tokens : marking) {
            hash ^= static_cast<std::uint32_t>(tokens);
            hash *= 1099511628211ULL;
        }
        return hash ^ (hash >> 29);
    }
    void grow() {
        slots_.assign(slots_.size() * 2, kEmpty);
        for (std::size_t node = 0; node < hashes_.size(); ++node) {
            std::size_t slot = hashes_[node] & (slots_.size() - 1);
            while (slots_[slot] != kEmpty)
                slot = (slot + 1) & (slots_.size() - 1);
            slots_[slot] = static_cast<std::uint32_t>(node);
        }
    }

    std::size_t places_;
    std::vector<std::int32_t> tokens_;
    std::vector<std::uint64_t> hashes_;
    std::vector<std::uint32_t> slots_;
};

InvisibleSearch::Path InvisibleSearch::search(const Marking& start, const Goal& goal) const {
    Visited visited(start.size());
    visited.add(start);
    std::vector<std::int64_t> parent{-1};
    std::vector<std::int32_t> via{-1};
    std::vector<std::int32_t> steps;
    std::vector<std::uint8_t> in_set(at(net_.transition_count()), 0);
    Marking next;
    for (std::size_t node = 0; node < visited.size(); ++node) {
        if (goal.reached(net_, visited.marking(node))) {
            Path path{Outcome::found, {}};
            for (auto n = static_cast<std::int64_t>(node); parent[at(n)] >= 0; n = parent[at(n)])
                path.firings.push_back(via[at(n)]);
            std::reverse(path.firings.begin(), path.firings.end());
            return path;
        }
        stubborn_set(visited.marking(node), goal, in_set, steps);
        for (const std::int32_t t : steps) {
            const Tokens here = visited.marking(node);
            next.assign(here.begin(), here.end());
            for (const std::int32_t p : net_.inputs(t))
                --next[at(p)];
            for (const std::int32_t p : net_.outputs(t))
                ++next[at(p)];
            if (!visited.add(next)) continue;
            if (visited.size() > bound_) return Path{Outcome::undecided, {}};
            parent.push_back(static_cast<std::int64_t>(node));
            via.push_back(t);
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
