#include "conformance/alignment_net.h"

#include <map>

#include "net/token_net.h"

namespace vesk {

namespace {

// Each label as its activity, unless two labels share the activity (start and complete read).
std::vector<std::string> display_names(const std::vector<std::string>& labels) {
    std::map<std::string, int> uses;
    std::vector<std::string> activities;
    for (const std::string& label : labels) {
        // The name before the event, as the map names activities.
        const std::size_t cut = label.rfind('_');
        std::string activity = cut == std::string::npos || cut == 0 ? label : label.substr(0, cut);
        ++uses[activity];
        activities.push_back(std::move(activity));
    }
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (uses[activities[i]] > 1) activities[i] = labels[i];
    return activities;
}

}  // namespace

AlignmentNet::AlignmentNet(const Tpetrinet& net, const Tloglist& log) {
    const TokenNet numbers(net);
    if (numbers.start_place() < 0) throw ConformanceError("the net has no start place");
    if (numbers.end_place() < 0) throw ConformanceError("the net has no end place");
    place_count_ = numbers.place_count();
    start_ = numbers.start_place();
    end_ = numbers.end_place();
    for (std::int32_t id = 0; id < log.name_count(); ++id)
        labels_.push_back(log.name_of(id));
    modelled_.assign(labels_.size(), 0);
    std::map<std::string, std::int32_t> extra;
    for (std::int32_t t = 0; t < numbers.transition_count(); ++t) {
        const Ttransition& transition = *net.transitions()[at(t)];
        inputs_.push_back(numbers.inputs(t));
        outputs_.push_back(numbers.outputs(t));
        transition_names_.push_back(transition.name);
        if (transition.task == nullptr || is_invisible(transition)) {
            label_.push_back(-1);
            continue;
        }
        const std::string& name = transition.task->name();
        std::int32_t label = -1;
        if (const auto id = log.find_name(name)) {
            label = *id;
        } else {
            const auto [found, added] =
                extra.try_emplace(name, static_cast<std::int32_t>(labels_.size()));
            if (added) {
                labels_.push_back(name);
                modelled_.push_back(0);
            }
            label = found->second;
        }
        modelled_[at(label)] = 1;
        label_.push_back(label);
    }
    display_ = display_names(labels_);
}

std::vector<std::uint8_t> AlignmentNet::initial_marking() const {
    std::vector<std::uint8_t> marking(at(place_count_), 0);
    marking[at(start_)] = 1;
    return marking;
}

std::vector<std::uint8_t> AlignmentNet::final_marking() const {
    std::vector<std::uint8_t> marking(at(place_count_), 0);
    marking[at(end_)] = 1;
    return marking;
}

}  // namespace vesk
