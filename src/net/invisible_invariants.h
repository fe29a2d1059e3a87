#pragma once
// Weightings of the places that no invisible firing changes (y with y . C = 0 over the columns
// of the invisible transitions). Two markings whose weighted sums differ under one of them are
// not connected by invisible firings: the search for a case's end tells this before it starts
// to look, which matters where a case left its tokens where no invisible firing can bring them
// together again.

#include <cstdint>
#include <span>
#include <vector>

#include "net/token_net.h"

namespace vesk {

class InvisibleInvariants {
public:
    explicit InvisibleInvariants(const TokenNet& net);

    // False only when no sequence of invisible firings leads from one marking to the other.
    bool may_connect(std::span<const std::int32_t> from, std::span<const std::int32_t> to) const;
    std::size_t count() const { return weights_.size(); }

private:
    std::vector<std::vector<std::int64_t>> weights_;
};

}  // namespace vesk
