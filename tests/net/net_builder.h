#pragma once
// Task lists with hand-made relations, for construction tests.

#include <string>
#include <vector>

#include "mining/vesk_task.h"
#include "net/vesk_redisc.h"

namespace vesk::test {

class Relations {
public:
    Ttask* task(const std::string& name) {
        if (Ttask* found = tasks.find_by_name(name)) return found;
        return tasks.create(name);
    }
    // a -> b
    Relations& cause(const std::string& a, const std::string& b) {
        task(a)->causal_successors().add(task(b));
        task(b)->causal_predecessors().add(task(a));
        return *this;
    }
    Relations& parallel(const std::string& a, const std::string& b) {
        task(a)->parallel().add(task(b));
        task(b)->parallel().add(task(a));
        return *this;
    }
    Relations& start(const std::string& a) {
        task(a)->is_trace_start = true;
        return *this;
    }
    Relations& end(const std::string& a) {
        task(a)->is_trace_end = true;
        return *this;
    }
    Towned_tasklist tasks;
};

// "input_set -> output_set" per place, in place order.
inline std::vector<std::string> place_sets(const Tpetrinet& net) {
    std::vector<std::string> sets;
    for (const auto& place : net.places())
        sets.push_back(place->input_set + " -> " + place->output_set);
    return sets;
}

// "from -> to" per arc, in arc order, naming places by their sets.
inline std::vector<std::string> arc_list(const Tpetrinet& net) {
    std::vector<std::string> arcs;
    for (const auto& arc : net.arcs()) {
        const std::string place = "[" + arc->place->input_set + "|" + arc->place->output_set + "]";
        arcs.push_back(arc->to_place ? arc->transition->name + " -> " + place
                                     : place + " -> " + arc->transition->name);
    }
    return arcs;
}

}  // namespace vesk::test
