#pragma once
// What a constructed net lacks to be a workflow net: transitions a case could fire without a
// token (no input place) or whose tokens lead nowhere (no output place), places no transition
// fills or empties, and nodes off every path from the start place to the end place. A
// transition without an input place fires whenever its task occurs, so a replay on such a net
// finds nothing wrong with it: the findings say what the replay cannot.

#include <cstddef>
#include <string>
#include <vector>

#include "net/vesk_redisc.h"

namespace vesk {

struct NetStructure {
    // Visible transitions, by name: with arcs on one side only, and with none at all.
    std::vector<std::string> without_input;
    std::vector<std::string> without_output;
    std::vector<std::string> without_arcs;
    // Places other than the start and the end place (and the second construction's
    // mutual-exclusion places), by number in the net.
    std::vector<std::size_t> places_without_input;
    std::vector<std::size_t> places_without_output;
    bool has_start_place = false;
    bool has_end_place = false;
    bool start_without_output = false;
    bool end_without_input = false;
    // Transitions and places that no path from the start place to the end place passes.
    std::size_t transitions_off_path = 0;
    std::size_t places_off_path = 0;

    // Every node lies on a path from the start place to the end place.
    bool workflow_net() const;
    // Transitions that fire whenever their task occurs, found or not by the replay.
    std::size_t free_transitions() const { return without_input.size() + without_arcs.size(); }
    // Visible transitions lacking a place on either side.
    std::size_t broken_transitions() const {
        return without_input.size() + without_output.size() + without_arcs.size();
    }
};

NetStructure check_structure(const Tpetrinet& net);

// The findings told as the front ends show them (the summary, the report, the inspector);
// none for a workflow net.
// One text per kind of fault, naming the count and the first few transitions.
std::vector<std::string> structure_findings(const NetStructure& structure,
                                            std::size_t visible_transitions);

// What to try when the construction gave a broken net.
extern const char* const kStructureHint;

// Said beside the fitness where transitions fire without an input place; empty otherwise.
std::string free_firing_note(const NetStructure& structure);

std::size_t visible_transitions(const Tpetrinet& net);

}  // namespace vesk
