#pragma once
// Turns a read log into the task list that relation mining starts from.

#include <cstdint>
#include <stdexcept>

#include "base/progress.h"
#include "log/vesk_loglist.h"
#include "mining/vesk_task.h"

namespace vesk {

// A log whose relations would not fit in memory: its long-distance relations grow with the
// square of the distinct tasks that share a case. what() gives the estimate.
class RelationsTooLargeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The memory the relations of a log may take before the build refuses it.
inline constexpr std::int64_t kRelationsMemoryBudget = std::int64_t{2} << 30;

// Replaces the tasks of the list with the tasks of the log: direct successions, start and end
// flags, short loops, derived parallel tasks, life-cycle links and long-distance successions.
// Throws RelationsTooLargeError, before the long-distance step, when the relations would need
// more than the budget.
// With progress: "Building relations" with the cases walked for long distances (the long
// step), every kProgressEvery cases, and the share of the lines behind them.
// The tasks of the log with their direct successions alone, without the relations derived
// from them: what a net that is not built from relations needs, at a cost linear in the log.
void build_tasks_only(const Tloglist& log, Towned_tasklist& tasks);

void build_task_list(const Tloglist& log, Towned_tasklist& tasks,
                     std::int64_t memory_budget = kRelationsMemoryBudget,
                     const ProgressCallback& progress = {});

// Links the event types of each activity (schedule -> start -> complete and so on).
void add_life_cycle_links(const Ttasklist& tasks);

}  // namespace vesk
