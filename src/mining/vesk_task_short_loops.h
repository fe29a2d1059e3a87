#pragma once
// Short loops (A A and A B A) look like parallelism in the relations; around each net
// construction they are set aside or split into copies, and afterwards put back.

#include "mining/vesk_task.h"

namespace vesk {

// The working lists of the short-loop handling. The one-loop and two-loop lists hold tasks taken
// out of the main list, the copies list owns the copies made by the split.
struct ShortLoopLists {
    Towned_tasklist one_loop;
    Towned_tasklist two_loop;
    Towned_tasklist copies;
};

// Prepares the main task list for a construction: without split, length-one loop tasks move
// into the one-loop list and length-two loops become causality both ways; with split, every
// short-loop task is replaced by a cycle of copies.
void prepare_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops, bool split);

// Undoes the preparation of the task list after the construction: the set-aside tasks come
// back, or the copies give way to the tasks they copied. The net's side comes first (see
// restore_short_loops in the net).
void restore_short_loop_tasks(Towned_tasklist& tasks, ShortLoopLists& loops, bool split);

}  // namespace vesk
