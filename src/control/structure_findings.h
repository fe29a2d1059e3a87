#pragma once
// The structure check of a net told as the front ends show it: in the summary, the report, the
// inspector. A net that is a workflow net gives no findings.

#include <cstddef>
#include <string>
#include <vector>

#include "net/net_structure.h"

namespace vesk {

// One text per kind of fault, naming the count and the first few transitions.
std::vector<std::string> structure_findings(const NetStructure& structure,
                                            std::size_t visible_transitions);

// What to try when the construction gave a broken net.
extern const char* const kStructureHint;

// Said beside the fitness where transitions fire without an input place; empty otherwise.
std::string free_firing_note(const NetStructure& structure);

std::size_t visible_transitions(const Tpetrinet& net);

}  // namespace vesk
