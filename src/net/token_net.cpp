#include "net/token_net.h"

#include <algorithm>
#include <string>

namespace vesk {

bool is_invisible(const Ttransition& transition) {
    return transition.name.find(kSkipMarker) != std::string::npos;
}

TokenNet::TokenNet(const Tpetrinet& net) {
    std::unordered_map<const Tplace*, std::int32_t> place_index;
    const auto& places = net.places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        place_index[places[i].get()] = static_cast<std::int32_t>(i);
        if (start_ < 0 && is_start_place(*places[i])) start_ = static_cast<std::int32_t>(i);
        if (end_ < 0 && is_end_place(*places[i])) end_ = static_cast<std::int32_t>(i);
    }
    producers_.resize(places.size());
    consumers_.resize(places.size());
    const auto& transitions = net.transitions();
    inputs_.resize(transitions.size());
    outputs_.resize(transitions.size());
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        transition_index_[transitions[i].get()] = static_cast<std::int32_t>(i);
        invisible_.push_back(is_invisible(*transitions[i]) ? 1 : 0);
    }
    for (const auto& arc : net.arcs()) {
        const std::int32_t t = transition_index_.at(arc->transition);
        const std::int32_t p = place_index.at(arc->place);
        (arc->to_place ? outputs_ : inputs_)[at(t)].push_back(p);
        if (invisible_[at(t)] != 0) (arc->to_place ? producers_ : consumers_)[at(p)].push_back(t);
    }
    // Backwards from the end over invisible transitions.
    drains_.assign(places.size(), 0);
    if (end_ >= 0) drains_[at(end_)] = 1;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t t = 0; t < inputs_.size(); ++t) {
            if (invisible_[t] == 0) continue;
            const bool drains = outputs_[t].empty() ||
                                std::any_of(outputs_[t].begin(), outputs_[t].end(),
                                            [this](std::int32_t p) { return drains_[at(p)] != 0; });
            if (!drains) continue;
            for (const std::int32_t p : inputs_[t])
                if (drains_[at(p)] == 0) {
                    drains_[at(p)] = 1;
                    grew = true;
                }
        }
    }
}

std::int32_t TokenNet::index_of(const Ttransition* transition) const {
    const auto found = transition_index_.find(transition);
    return found != transition_index_.end() ? found->second : -1;
}

}  // namespace vesk
