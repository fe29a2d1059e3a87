#include "conformance/dead_transitions.h"

namespace vesk {

DeadTransitions::DeadTransitions(const AlignmentNet& net)
    : net_(net), consumers_(static_cast<std::size_t>(net.place_count())) {
    for (std::int32_t t = 0; t < net.transition_count(); ++t)
        for (const std::int32_t p : net.inputs(t))
            consumers_[static_cast<std::size_t>(p)].push_back(t);
}

const std::vector<std::uint8_t>& DeadTransitions::at(std::span<const std::uint8_t> marking) {
    // Start from every empty place and drop those some transition can fill without taking
    // from the places left; what remains is the largest siphon among the empty places.
    in_siphon_.resize(marking.size());
    for (std::size_t p = 0; p < marking.size(); ++p)
        in_siphon_[p] = marking[p] == 0 ? 1 : 0;
    const auto transitions = static_cast<std::size_t>(net_.transition_count());
    blocking_.assign(transitions, 0);
    free_.clear();
    for (std::int32_t t = 0; t < net_.transition_count(); ++t) {
        for (const std::int32_t p : net_.inputs(t))
            blocking_[static_cast<std::size_t>(t)] += in_siphon_[static_cast<std::size_t>(p)];
        if (blocking_[static_cast<std::size_t>(t)] == 0) free_.push_back(t);
    }
    while (!free_.empty()) {
        const std::int32_t t = free_.back();
        free_.pop_back();
        for (const std::int32_t p : net_.outputs(t)) {
            if (in_siphon_[static_cast<std::size_t>(p)] == 0) continue;
            in_siphon_[static_cast<std::size_t>(p)] = 0;
            for (const std::int32_t u : consumers_[static_cast<std::size_t>(p)])
                if (--blocking_[static_cast<std::size_t>(u)] == 0) free_.push_back(u);
        }
    }
    dead_.resize(transitions);
    for (std::size_t t = 0; t < transitions; ++t)
        dead_[t] = blocking_[t] > 0 ? 1 : 0;
    return dead_;
}

}  // namespace vesk
