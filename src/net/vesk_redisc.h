#pragma once
// The Petri net that the relations are turned into and the log is replayed on.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_util.h"
#include "mining/vesk_task.h"
#include "net/vesk_stochvar.h"

namespace vesk {

// token_time of an empty place.
inline constexpr double NO_TOKEN = -0.5;

// Marker strings shared by the construction, the replay and the writers.
inline constexpr std::string_view kStartSet = "_#start#_";
inline constexpr std::string_view kEndSet = "_#end#_";
inline constexpr std::string_view kMutualExclusionPrefix = "_#ME#_";

struct Tplace {
    Tplace() = default;
    Tplace(std::string input, std::string output)
        : input_set(std::move(input)), output_set(std::move(output)) {}

    std::string input_set;   // "*A*&*B*": the tasks whose transitions put tokens here
    std::string output_set;  // the tasks whose transitions take tokens from here
    TStoch_var sync_time;
    TStoch_var waiting_time;
    TStoch_var sojourn_time;
    double token_time = NO_TOKEN;
};

// The start place is known by its input set, the end place by its output set.
inline bool is_start_place(const Tplace& place) {
    return place.input_set == kStartSet;
}
inline bool is_end_place(const Tplace& place) {
    return place.output_set == kEndSet;
}

struct Ttransition {
    std::string name;
    Ttask* task = nullptr;  // null for invisible transitions
    // The lines of its task in the log last replayed.
    std::int32_t occurrences = 0;
};

struct Tarc {
    Tplace* place;
    Ttransition* transition;
    bool to_place;  // true: transition -> place (output arc); false: place -> transition
    // The branch chance the dot and HTML files show, from the tasks' counts (which start at 1).
    double probability;
    // The true share of the place's tokens that this arc took in the replay: its transition's
    // occurrences over those of every visible transition taking from the place.
    double share;
};

// How the replay lets a transition that is not enabled fire through invisible ones: every
// enabled invisible transition once, in a single pass (the constructions from relations), or
// the shortest sequence of invisible firings that enables it (nets from a process tree, whose
// invisible transitions are skips, splits, joins and loop steps).
enum class SkipRule : std::uint8_t { one_pass, shortest_sequence };

using Parclist = std::vector<Tarc*>;
using Tplacelist = std::vector<Tplace*>;
using Ttransitionlist = std::vector<Ttransition*>;

// A set of places and transitions, as the second construction passes them around.
struct Tplace_trans {
    Tplacelist places;
    Ttransitionlist transitions;
};

class Tpetrinet {
public:
    Tpetrinet() = default;
    Tpetrinet(const Tpetrinet&) = delete;
    Tpetrinet& operator=(const Tpetrinet&) = delete;

    // Removes every place, transition and arc; flags and flow time stay.
    void Clear();
    void Reset_replay_state();
    // colour: red in the lowest byte, then green, then blue; stored as "RRGGBB".
    void Set_cluster_colour(std::uint32_t colour);

    // Returns the existing place whose sets contain the new one's, else adds it.
    Tplace* Add_place(std::unique_ptr<Tplace> place);
    Tplace* Add_place(std::string input_set, std::string output_set);
    // Appends a place without looking for one that subsumes it.
    Tplace* Add_new_place(std::string input_set, std::string output_set);
    // The first place whose sets contain every "&"-separated entry of the given sets, ignoring
    // letter case; an empty set imposes nothing.
    Tplace* Find_place(std::string_view inputs, std::string_view outputs) const;
    // Returns the existing transition of that name, else adds it.
    Ttransition* Add_transition(std::string name, Ttask* task);
    Ttransition* Find_transition(std::string_view name) const;
    Ttransition* Transition_of_task(const Ttask* task) const;
    Tarc* Add_output_arc(Ttransition* transition, Tplace* place, double weight);
    Tarc* Add_input_arc(Tplace* place, Ttransition* transition, double weight);
    // Appends an arc the caller knows to be new, without looking for it first.
    Tarc* Add_new_arc(Tplace* place, Ttransition* transition, bool to_place, double weight);
    Tarc* Find_arc(const Ttransition* transition, const Tplace* place, bool to_place) const;

    Parclist Arcs_of_place(const Tplace* place, bool to_place) const;
    Parclist Arcs_of_transition(const Ttransition* transition, bool to_place) const;
    Tplacelist Places_between(const Ttransition* from, const Ttransition* to, bool strict) const;
    Tplace* Common_place(const Ttransition* from, const Ttransition* to) const;
    std::int32_t Place_count() const { return static_cast<std::int32_t>(places_.size()); }
    Tplace* Place_at(std::int32_t index) const;
    // Whether the place is an output of the transition, or reached from one through task-less
    // transitions only.
    bool Reaches_place(const Ttransition* transition, const Tplace* place) const;
    // Whether the transition takes from the place, or is reached from it through task-less
    // transitions only.
    bool Reaches_transition(const Tplace* place, const Ttransition* transition) const;

    void Remove_arc(const Tarc* arc);
    void Remove_place(const Tplace* place);
    void Remove_transition(const Ttransition* transition);

    // The structure listing and the timing listing of the debug view.
    void net_text(std::vector<std::string>& lines) const;
    void timing_text(std::vector<std::string>& lines, char separator) const;

    const std::vector<std::unique_ptr<Tplace>>& places() const { return places_; }
    const std::vector<std::unique_ptr<Ttransition>>& transitions() const { return transitions_; }
    const std::vector<std::unique_ptr<Tarc>>& arcs() const { return arcs_; }

    std::string cluster_colour = "FFFFFF";
    Ttasklist unfired_tasks;
    bool is_safe = true;
    bool tokens_left = false;
    TStoch_var flow_time;
    SkipRule skip_rule = SkipRule::one_pass;

private:
    std::vector<std::unique_ptr<Tplace>> places_;
    std::vector<std::unique_ptr<Ttransition>> transitions_;
    std::vector<std::unique_ptr<Tarc>> arcs_;
};

}  // namespace vesk
