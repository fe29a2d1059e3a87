#pragma once
// Rediscovering a Petri net from the ordering relations of a task list.

#include <array>
#include <vector>

#include "mining/vesk_task.h"
#include "net/vesk_redisc.h"

namespace vesk {

using TtaskTuple = std::array<TTaskArray, 2>;  // input side A, output side B
using Ttasktuplearray = std::vector<TtaskTuple>;

// Places for the maximal pairs of unrelated task sets (A, B) with every task of A a cause of
// every task of B; one transition per task; start and end places.
void Build_net(Tpetrinet& net, const Ttasklist& tasks);

// The pairs (A, B) that extend the given ones, as Build_net finds them.
void Search_pairs(const Ttasklist& tasks, TTaskArray& a, TTaskArray& b, Ttasktuplearray& result,
                  std::int32_t start_a, std::int32_t start_b);

// Puts the length-one loop tasks back as transitions that consume and give back the token of
// every place between their causes and their effects.
void Add_loop_tasks(Tpetrinet& net, const Ttasklist& loop_tasks);

// The second construction: invisible transitions for skippable and composite parts.
void Build_net_2(Tpetrinet& net, Towned_tasklist& tasks, bool combine_places);

}  // namespace vesk
