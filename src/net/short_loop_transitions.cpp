#include "net/short_loop_transitions.h"

#include <vector>

namespace vesk {

namespace {

// Replaces the copies' transitions by one transition of the copied task.
void merge_transitions(Tpetrinet& net, Ttask* t, const std::vector<Ttransition*>& copies) {
    std::vector<Tplace*> inner;
    for (std::size_t k = 0; k + 1 < copies.size(); ++k)
        inner.push_back(net.Common_place(copies[k], copies[k + 1]));
    Ttransition* merged = net.Add_transition(t->name(), t);
    for (Tarc* arc : net.Arcs_of_transition(copies.front(), false))
        arc->transition = merged;
    for (Tarc* arc : net.Arcs_of_transition(copies.back(), true))
        arc->transition = merged;
    for (Tplace* place : inner)
        if (place != nullptr) net.Remove_place(place);
    for (Ttransition* copy : copies)
        if (copy != nullptr) net.Remove_transition(copy);
}

Ttransition* copy_transition(const Tpetrinet& net, const char* prefix, const Ttask& t) {
    return net.Find_transition(prefix + t.name());
}

}  // namespace

void restore_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops, Tpetrinet& net,
                         bool split) {
    if (split) {
        for (Ttask* t : loops.one_loop)
            merge_transitions(
                net, t,
                {copy_transition(net, "&%$1loop1$%&", *t), copy_transition(net, "&%$1loop2$%&", *t),
                 copy_transition(net, "&%$1loop3$%&", *t)});
        for (Ttask* t : loops.two_loop)
            merge_transitions(net, t,
                              {copy_transition(net, "&%$2loop1$%&", *t),
                               copy_transition(net, "&%$2loop2$%&", *t)});
    }
    restore_short_loop_tasks(tasks, loops, split);
}

}  // namespace vesk
