#pragma once
// The transitions that can never fire again from a marking: those that take a token from a
// place of the largest unmarked siphon (a set of empty places that every transition putting a
// token into one of them must take one from), which no firing can mark again. The marking
// equation alone lets such transitions fire in cycles that give and take the same tokens, as
// if a loop the case has already left could still run.

#include <cstdint>
#include <span>
#include <vector>

#include "conformance/alignment_net.h"

namespace vesk {

class DeadTransitions {
public:
    // The net must outlive this.
    explicit DeadTransitions(const AlignmentNet& net);

    // One flag per transition, 1 where it is dead at the marking; valid until the next call.
    const std::vector<std::uint8_t>& at(std::span<const std::uint8_t> marking);

private:
    const AlignmentNet& net_;
    // Per place, the transitions that take from it.
    std::vector<std::vector<std::int32_t>> consumers_;
    // Work areas of one call, kept to spare the allocations.
    std::vector<std::uint8_t> in_siphon_;
    std::vector<std::int32_t> blocking_;
    std::vector<std::int32_t> free_;
    std::vector<std::uint8_t> dead_;
};

}  // namespace vesk
