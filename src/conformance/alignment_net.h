#pragma once
// The net as numbers for aligning: each transition's input and output places, its label, the
// start and the final marking. Labels are the log's names first (so that a line's name id is
// its label), then the names of transitions whose task the log never mentions.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"
#include "net/vesk_redisc.h"

namespace vesk {

// A net that cannot be aligned against: no start or end place, or no way to its end.
class ConformanceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AlignmentNet {
public:
    // Throws ConformanceError for a net without a start or an end place.
    AlignmentNet(const Tpetrinet& net, const Tloglist& log);

    std::int32_t place_count() const { return place_count_; }
    std::int32_t transition_count() const { return static_cast<std::int32_t>(label_.size()); }
    const std::vector<std::int32_t>& inputs(std::int32_t t) const { return inputs_[at(t)]; }
    const std::vector<std::int32_t>& outputs(std::int32_t t) const { return outputs_[at(t)]; }
    // -1 for an invisible transition.
    std::int32_t label(std::int32_t t) const { return label_[at(t)]; }
    const std::string& transition_name(std::int32_t t) const { return transition_names_[at(t)]; }
    std::int32_t start_place() const { return start_; }
    std::int32_t end_place() const { return end_; }

    std::int32_t label_count() const { return static_cast<std::int32_t>(labels_.size()); }
    const std::string& label_name(std::int32_t label) const { return labels_[at(label)]; }
    // The label as people read it: the activity alone where no other label shares it.
    const std::string& display_name(std::int32_t label) const { return display_[at(label)]; }
    // Whether some transition carries the label.
    bool modelled(std::int32_t label) const { return modelled_[at(label)] != 0; }

    // Token counts per place.
    std::vector<std::uint8_t> initial_marking() const;
    std::vector<std::uint8_t> final_marking() const;

private:
    static std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

    std::int32_t place_count_ = 0;
    std::vector<std::vector<std::int32_t>> inputs_;
    std::vector<std::vector<std::int32_t>> outputs_;
    std::vector<std::int32_t> label_;
    std::vector<std::string> transition_names_;
    std::vector<std::string> labels_;
    std::vector<std::string> display_;
    std::vector<std::uint8_t> modelled_;
    std::int32_t start_ = -1;
    std::int32_t end_ = -1;
};

}  // namespace vesk
