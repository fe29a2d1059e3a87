#pragma once
// The overlap refinement: activities whose executions overlap within a case become parallel,
// and parallel pairs of the same event type get a common cause or a common effect.

#include <string>

#include "log/vesk_loglist.h"
#include "mining/vesk_task.h"

namespace vesk {

// start_type and stop_type are event type names ("start", "complete", ...) and differ.
void overlap_parallel(const Tloglist& log, const Ttasklist& tasks, const std::string& start_type,
                      const std::string& stop_type);

}  // namespace vesk
