#pragma once
// A process tree as a workflow net: one start place, one end place, a transition per activity
// (with its task) and invisible transitions only where a block needs them: a skip, a parallel
// split or join, the way into and out of a loop.

#include <string>
#include <vector>

#include "discovery/process_tree.h"
#include "discovery/trace_log.h"
#include "mining/vesk_task.h"
#include "net/vesk_redisc.h"

namespace vesk {

// Replaces the net's places, transitions and arcs; names[id] is the task name of activity id.
// The net is replayed with the shortest sequences of invisible firings.
// The tree over tasks: each activity leaf becomes the sequence of its tasks, a start and a
// complete transition where the log pairs them into instances; a step that some instance of the
// activity lacks (a start never completed, a complete without a start) may be skipped.
ProcessTree task_tree(const ProcessTree& tree, const VariantLog& log);

void build_tree_net(Tpetrinet& net, const ProcessTree& tree, const std::vector<std::string>& names,
                    const Ttasklist& tasks);

}  // namespace vesk
