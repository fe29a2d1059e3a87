#pragma once
// The net as numbers for token games: each transition's input and output places by index,
// which transitions are invisible, and for each place the invisible transitions that put
// tokens into it and take tokens from it.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "net/vesk_redisc.h"

namespace vesk {

// Invisible transitions carry the skip marker in their name.
bool is_invisible(const Ttransition& transition);

class TokenNet {
public:
    // The net must not change while this lives.
    explicit TokenNet(const Tpetrinet& net);

    std::int32_t place_count() const { return static_cast<std::int32_t>(producers_.size()); }
    std::int32_t transition_count() const { return static_cast<std::int32_t>(inputs_.size()); }
    // -1 for none.
    std::int32_t start_place() const { return start_; }
    std::int32_t end_place() const { return end_; }
    std::int32_t index_of(const Ttransition* transition) const;

    const std::vector<std::int32_t>& inputs(std::int32_t t) const { return inputs_[at(t)]; }
    const std::vector<std::int32_t>& outputs(std::int32_t t) const { return outputs_[at(t)]; }
    bool invisible(std::int32_t t) const { return invisible_[at(t)] != 0; }
    // Invisible transitions only.
    const std::vector<std::int32_t>& producers(std::int32_t p) const { return producers_[at(p)]; }
    const std::vector<std::int32_t>& consumers(std::int32_t p) const { return consumers_[at(p)]; }
    // Whether a token in the place can be carried on to the end place (or taken by an
    // invisible transition that puts none) by invisible transitions alone.
    bool drains_invisibly(std::int32_t p) const { return drains_[at(p)] != 0; }

private:
    static std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

    std::vector<std::vector<std::int32_t>> inputs_;
    std::vector<std::vector<std::int32_t>> outputs_;
    std::vector<std::uint8_t> invisible_;
    std::vector<std::vector<std::int32_t>> producers_;
    std::vector<std::vector<std::int32_t>> consumers_;
    std::vector<std::uint8_t> drains_;
    std::unordered_map<const Ttransition*, std::int32_t> transition_index_;
    std::int32_t start_ = -1;
    std::int32_t end_ = -1;
};

}  // namespace vesk
