#pragma once
// The shortest sequence of invisible firings that enables a transition, or that brings a case to
// the end place alone.
//
// Breadth first over the markings that invisible transitions reach, but from each marking only
// along a stubborn set: the transitions that any way to the goal must begin with, up to the
// order of independent firings. Every way to the goal fires one of the transitions feeding a
// goal place that lacks its token; a disabled transition of the set brings in the feeders of
// one of its empty input places (nothing outside the set can fill it), an enabled one every
// transition that competes for its tokens (so that it commutes with whatever the way fires
// before it). The first transition of the set on a shortest way can therefore be moved to its
// front, and the search still finds a shortest way, while independent branches are no longer
// interleaved in every order: a parallel block of n skipped branches costs n markings, not 2^n.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "net/invisible_invariants.h"
#include "net/token_net.h"

namespace vesk {

// Markings one search may look at before it gives up and says so.
inline constexpr std::size_t kMaxInvisibleMarkings = 200000;

class InvisibleSearch {
public:
    // Tokens per place, in the net's place order.
    using Marking = std::vector<std::int32_t>;
    enum class Outcome : std::uint8_t { found, unreachable, undecided };
    struct Path {
        Outcome outcome = Outcome::unreachable;
        // Transition indices, in firing order; empty when the goal holds already.
        std::vector<std::int32_t> firings;
    };

    // The net must outlive the search.
    explicit InvisibleSearch(const TokenNet& net, std::size_t bound = kMaxInvisibleMarkings)
        : net_(net), invariants_(net), bound_(bound) {}

    // Firings after which the target is enabled.
    Path enabling(const Marking& marking, std::int32_t target) const;
    // Firings that leave one token in the end place and none elsewhere; failing that, a token
    // in the end place.
    Path completing(const Marking& marking) const;

private:
    struct Goal;
    class Visited;
    using Tokens = std::span<const std::int32_t>;
    Path search(const Marking& start, const Goal& goal) const;
    // The enabled transitions of a stubborn set for the goal at the marking, in index order;
    // in_set is all zero before and after.
    void stubborn_set(Tokens marking, const Goal& goal, std::vector<std::uint8_t>& in_set,
                      std::vector<std::int32_t>& enabled) const;
    bool is_enabled(Tokens marking, std::int32_t transition) const;
    // An empty input place of a disabled transition, the one with the fewest feeders.
    std::int32_t scapegoat(Tokens marking, std::int32_t transition) const;

    const TokenNet& net_;
    InvisibleInvariants invariants_;
    std::size_t bound_;
};

}  // namespace vesk
