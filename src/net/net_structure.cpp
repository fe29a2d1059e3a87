#include "net/net_structure.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vesk {

namespace {

bool is_start(const Tplace& place) {
    return place.input_set == kStartSet;
}

bool is_end(const Tplace& place) {
    return place.output_set == kEndSet;
}

bool is_side_condition(const Tplace& place) {
    return place.input_set.starts_with(kMutualExclusionPrefix);
}

using Node = const void*;
using Neighbours = std::unordered_map<Node, std::vector<Node>>;

// The nodes reached from `starts` through the neighbours.
std::unordered_set<Node> reached(const std::vector<const Tplace*>& starts,
                                 const Neighbours& neighbours) {
    std::unordered_set<Node> seen(starts.begin(), starts.end());
    std::vector<Node> open(starts.begin(), starts.end());
    while (!open.empty()) {
        const Node node = open.back();
        open.pop_back();
        const auto it = neighbours.find(node);
        if (it == neighbours.end()) continue;
        for (const Node next : it->second)
            if (seen.insert(next).second) open.push_back(next);
    }
    return seen;
}

}  // namespace

bool NetStructure::workflow_net() const {
    return has_start_place && has_end_place && transitions_off_path == 0 && places_off_path == 0;
}

NetStructure check_structure(const Tpetrinet& net) {
    NetStructure s;
    std::unordered_map<const void*, std::pair<bool, bool>> arcs_of;  // node: has input, output
    for (const auto& arc : net.arcs()) {
        // An output arc is the transition's output and the place's input, and so on.
        (arc->to_place ? arcs_of[arc->transition].second : arcs_of[arc->transition].first) = true;
        (arc->to_place ? arcs_of[arc->place].first : arcs_of[arc->place].second) = true;
    }
    for (const auto& transition : net.transitions()) {
        if (transition->task == nullptr) continue;
        const auto [input, output] = arcs_of[transition.get()];
        if (!input && !output)
            s.without_arcs.push_back(transition->name);
        else if (!input)
            s.without_input.push_back(transition->name);
        else if (!output)
            s.without_output.push_back(transition->name);
    }
    std::vector<const Tplace*> starts, ends;
    const auto& places = net.places();
    for (std::size_t j = 0; j < places.size(); ++j) {
        const Tplace& place = *places[j];
        const auto [input, output] = arcs_of[&place];
        if (is_start(place)) {
            s.has_start_place = true;
            s.start_without_output = s.start_without_output || !output;
            starts.push_back(&place);
        } else if (is_end(place)) {
            s.has_end_place = true;
            s.end_without_input = s.end_without_input || !input;
            ends.push_back(&place);
        } else if (!is_side_condition(place)) {
            if (!input) s.places_without_input.push_back(j);
            if (!output) s.places_without_output.push_back(j);
        }
    }
    Neighbours successors, predecessors;
    for (const auto& arc : net.arcs()) {
        const Node from = arc->to_place ? Node(arc->transition) : Node(arc->place);
        const Node to = arc->to_place ? Node(arc->place) : Node(arc->transition);
        successors[from].push_back(to);
        predecessors[to].push_back(from);
    }
    const auto forward = reached(starts, successors);
    const auto backward = reached(ends, predecessors);
    const auto on_path = [&](const void* node) {
        return forward.count(node) != 0 && backward.count(node) != 0;
    };
    for (const auto& transition : net.transitions())
        if (!on_path(transition.get())) ++s.transitions_off_path;
    for (const auto& place : net.places())
        if (!is_side_condition(*place) && !on_path(place.get())) ++s.places_off_path;
    return s;
}

}  // namespace vesk
