#pragma once
// Escaping-edges precision over alignments: the model projections of the optimal alignments
// make a tree of prefixes, each weighted by the cases that pass through it. At each prefix the
// net, in the marking the alignment reached, allows some activities (after any invisible
// firings); those the log never does next are escaping edges. Precision is one less the
// weighted share of escaping edges among the allowed ones.

#include <cstdint>
#include <vector>

#include "conformance/aligner.h"
#include "conformance/alignment_net.h"

namespace vesk {

// Markings the invisible firings after one prefix may reach before the allowed activities are
// taken as those found so far.
inline constexpr std::size_t kMaxClosureMarkings = 20000;

struct AlignedCases {
    const Alignment* alignment = nullptr;
    std::int64_t cases = 0;
};

struct Precision {
    // 1 where the net allows nothing at any prefix.
    double value = 1.0;
    std::int64_t escaping = 0;
    std::int64_t allowed = 0;
    // Prefixes whose invisible firings reached the bound.
    std::int64_t prefixes_cut = 0;
};

Precision escaping_edges_precision(const AlignmentNet& net,
                                   const std::vector<AlignedCases>& alignments);

}  // namespace vesk
