#include "net/net_structure.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vesk {

namespace {

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
        if (is_start_place(place)) {
            s.has_start_place = true;
            s.start_without_output = s.start_without_output || !output;
            starts.push_back(&place);
        } else if (is_end_place(place)) {
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

const char* const kStructureHint =
    "the log is too irregular for this construction: try switching facts off in the "
    "relations inspector, reading other event types (--events), or the inductive construction "
    "(--construction inductive), which gives a workflow net on every log";

namespace {

constexpr std::size_t kNamesShown = 5;

std::string first_names(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kNamesShown)
        text += " and " + std::to_string(names.size() - kNamesShown) + " more";
    return text;
}

std::string count_of(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "a, b and c" of the parts that are not empty.
std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    std::size_t left = 0;
    for (const std::string& part : parts)
        if (!part.empty()) ++left;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        --left;
        text += part + (left > 1 ? ", " : left == 1 ? " and " : "");
    }
    return text;
}

// "2 places without an input transition"; empty for none.
std::string places_text(std::size_t count, const char* side) {
    if (count == 0) return "";
    return count_of(count, "place", "places") + " without an " + side + " transition";
}

std::string counted(std::size_t count, const std::string& what) {
    return count == 0 ? "" : std::to_string(count) + " " + what;
}

}  // namespace

std::size_t visible_transitions(const Tpetrinet& net) {
    std::size_t count = 0;
    for (const auto& transition : net.transitions())
        if (transition->task != nullptr) ++count;
    return count;
}

std::vector<std::string> structure_findings(const NetStructure& s,
                                            std::size_t visible_transitions) {
    std::vector<std::string> findings;
    if (s.broken_transitions() > 0) {
        std::vector<std::string> names = s.without_arcs;
        names.insert(names.end(), s.without_input.begin(), s.without_input.end());
        names.insert(names.end(), s.without_output.begin(), s.without_output.end());
        findings.push_back(std::to_string(s.broken_transitions()) + " of " +
                           std::to_string(visible_transitions) +
                           " transitions lack an input or an output place (" +
                           joined({counted(s.without_arcs.size(), "with no arc at all"),
                                   counted(s.without_input.size(), "without input"),
                                   counted(s.without_output.size(), "without output")}) +
                           "): " + first_names(names));
    }
    if (s.start_without_output) findings.emplace_back("the start place has no output arc");
    if (s.end_without_input) findings.emplace_back("the end place has no input arc");
    if (!s.places_without_input.empty() || !s.places_without_output.empty())
        findings.push_back(joined({places_text(s.places_without_input.size(), "input"),
                                   places_text(s.places_without_output.size(), "output")}));
    if (!s.has_start_place || !s.has_end_place)
        findings.emplace_back("the net has no start place or no end place");
    else if (!s.workflow_net())
        findings.push_back(
            "no workflow net: " +
            joined({counted(s.transitions_off_path,
                            s.transitions_off_path == 1 ? "transition" : "transitions"),
                    counted(s.places_off_path, s.places_off_path == 1 ? "place" : "places")}) +
            " lie on no path from the start place to the end place");
    return findings;
}

std::string free_firing_note(const NetStructure& structure) {
    const std::size_t free = structure.free_transitions();
    if (free == 0) return "";
    return count_of(free, "transition has", "transitions have") +
           " no input place and fire whenever their task occurs: the fitness counts them as "
           "fitting";
}

}  // namespace vesk
