#pragma once
// The "Build relations" command as a sequence of controller calls, shared by every front end.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "control/event_choice.h"
#include "control/stage_timings.h"
#include "control/vesk_util.h"

namespace vesk {

struct OverlapVariant {
    std::string start_type;
    std::string stop_type;
};

struct BuildRelationsRequest {
    std::string process_id;
    EventChoice events;
    // Run in this order; a variant whose start equals its stop is skipped.
    std::vector<OverlapVariant> overlaps;
    // The cases kept of those read.
    CaseFilter cases;
    // Only the tasks, not their relations: for nets that are not built from relations (the
    // inductive construction, a net read from a file), when no listing asks for relations.
    bool tasks_only = false;
};

// Progress texts as a status line shows them.
using StatusCallback = std::function<void(const std::string& status)>;

// Resets the controller's run, reads the process from the loaded log, builds the task list and
// runs the overlap variants. Errors pass through; the controller then holds no relations.
// With timings, the read and the relations are timed as stages.
void build_relations(Tvesk_util& controller, const BuildRelationsRequest& request,
                     const StatusCallback& status = {}, StageTimings* timings = nullptr);

}  // namespace vesk
