#pragma once
// Turns a read log into the task list that relation mining starts from.

#include "log/vesk_logline.h"
#include "mining/vesk_task.h"

namespace vesk {

// Replaces the tasks of the list with the tasks of the log: direct successions, start and end
// flags, short loops, derived parallel tasks, life-cycle links and long-distance successions.
void build_task_list(const Tloglist& log, Towned_tasklist& tasks);

// Links the event types of each activity (schedule -> start -> complete and so on).
void add_life_cycle_links(const Ttasklist& tasks);

}  // namespace vesk
