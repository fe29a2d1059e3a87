#pragma once
// The construction as its description states it, step by step and without indexes: every pair
// of the search offered to Add_place (which scans the places), arcs found by scanning, and
// the places between two transitions by searching the arcs per place. The fast construction
// is held to it.

#include <string>

#include "net/vesk_redisc.h"
#include "net/vesk_redisc_build.h"

namespace vesk::test {

inline std::string literal_set_of(const TTaskArray& side) {
    std::string set;
    for (const Ttask* task : side) {
        if (!set.empty()) set += "&";
        set += "*" + task->name() + "*";
    }
    return set;
}

inline void literal_build_net(Tpetrinet& net, const Ttasklist& tasks) {
    net.Clear();
    for (Ttask* t : tasks) {
        net.Add_transition(t->name(), t);
        TTaskArray a = {t};
        Ttasktuplearray pairs;
        for (Ttask* s : t->causal_successors()) {
            TTaskArray b = {s};
            Search_pairs(tasks, a, b, pairs, 0, 0);
        }
        for (const TtaskTuple& pair : pairs)
            if (!pair[0].empty() && !pair[1].empty())
                net.Add_place(literal_set_of(pair[0]), literal_set_of(pair[1]));
    }
    for (const auto& transition : net.transitions()) {
        const std::string key = "*" + transition->name + "*";
        for (const auto& place : net.places()) {
            if (place->input_set.find(key) != std::string::npos)
                net.Add_output_arc(transition.get(), place.get(), 1.0);
            if (place->output_set.find(key) != std::string::npos)
                net.Add_input_arc(place.get(), transition.get(), 1.0);
        }
    }
    Tplace* start = net.Add_place(std::string(kStartSet), "");
    Tplace* end = net.Add_place("", std::string(kEndSet));
    for (Ttask* task : tasks) {
        if (task->is_trace_start) {
            start->output_set += "_*" + task->name() + "*";
            net.Add_input_arc(start, net.Transition_of_task(task), 1.0);
        }
        if (task->is_trace_end) {
            end->input_set += "_*" + task->name() + "*";
            net.Add_output_arc(net.Transition_of_task(task), end, 1.0);
        }
    }
}

inline Tplacelist literal_places_between(const Tpetrinet& net, const Ttransition* from,
                                         const Ttransition* to, bool strict) {
    Tplacelist result;
    for (const auto& place : net.places()) {
        const bool forward =
            net.Find_arc(from, place.get(), true) && net.Find_arc(to, place.get(), false);
        const bool backward = !strict && net.Find_arc(from, place.get(), false) &&
                              net.Find_arc(to, place.get(), true);
        if (forward || backward) result.push_back(place.get());
    }
    return result;
}

}  // namespace vesk::test
