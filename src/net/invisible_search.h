#pragma once
// The shortest sequence of invisible firings that enables a transition, or that brings a case to
// the end place alone: breadth first over the markings that invisible transitions reach, up to
// a bound, so that a net of invisible cycles cannot hold the replay up.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "net/vesk_redisc.h"

namespace vesk {

// Markings looked at before a search gives up.
inline constexpr std::size_t kMaxInvisibleMarkings = 20000;

class InvisibleSearch {
public:
    // Tokens per place, in the net's place order.
    using Marking = std::vector<std::int64_t>;

    // The net must not change while the search lives.
    explicit InvisibleSearch(const Tpetrinet& net);

    std::int32_t place_index(const Tplace* place) const { return index_.at(place); }
    // Empty when the transition is enabled already or no sequence within the bound enables it.
    std::vector<Ttransition*> enabling(const Marking& marking, const Ttransition* target) const;
    // Firings that leave a token in the end place and nowhere else; failing that, in the end
    // place. Empty when already so or out of reach.
    std::vector<Ttransition*> completing(const Marking& marking) const;

private:
    struct Step {
        Ttransition* transition;
        std::vector<std::int32_t> inputs;
        std::vector<std::int32_t> outputs;
    };
    struct Goal {
        std::vector<std::int32_t> places;
        // The invisible transitions whose tokens can reach a goal place through invisible
        // transitions: no other firing can help, and leaving them out keeps the search from
        // wandering through every interleaving of parallel loops.
        std::vector<std::size_t> steps;
    };
    Goal goal_of(std::vector<std::int32_t> places) const;
    template <typename Reached>
    std::vector<Ttransition*> search(const Marking& start, const std::vector<std::size_t>& steps,
                                     Reached reached, bool& found) const;
    static bool enabled(const Marking& marking, const std::vector<std::int32_t>& inputs);

    std::unordered_map<const Tplace*, std::int32_t> index_;
    std::vector<Step> invisible_;
    std::unordered_map<const Ttransition*, Goal> goal_of_transition_;
    Goal end_goal_;
    std::int32_t end_ = -1;
};

}  // namespace vesk
