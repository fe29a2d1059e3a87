#pragma once
// The net's side of short-loop handling: after a construction on split copies, the copies'
// transitions become one transition per copied task.

#include "mining/vesk_task_short_loops.h"
#include "net/vesk_redisc.h"

namespace vesk {

// Undoes the preparation after the construction; with split, the copies' transitions in the
// net are merged into one transition per copied task first.
void restore_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops, Tpetrinet& net, bool split);

}  // namespace vesk
