#pragma once
// The inductive construction on the directly-follows graph alone (Leemans, Fahland and van der
// Aalst, 2015): the graph is divided along its cuts and each part's graph divided again,
// without going back to the cases. It needs memory for the edges only and time about linear
// in them, so that blocks of thousands of activities get a tree and not a flower; it cannot
// see what only the cases tell (how often a part repeats within one case, say), so its trees
// may allow more than the log's.

#include <cstdint>

#include "discovery/process_tree.h"
#include "discovery/sparse_follows.h"

namespace vesk {

// noise: as for the construction on the cases; edges, starts and ends weaker than that share
// of the strongest are filtered out where the graph as it is has no cut.
ProcessTree mine_graph_tree(SparseFollows graph, double noise);

}  // namespace vesk
