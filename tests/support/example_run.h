#pragma once
// Runs on the bundled example log with the defaults of a new run (complete events only).

#include <string>

#include "control/build_relations.h"
#include "control/mine_run.h"

namespace vesk::test {

// Reads the process and builds its relations.
inline BuildRelationsRequest example_relations(Tvesk_util& controller, const std::string& process) {
    controller.load_log(VESK_EXAMPLE_LOG, false);
    BuildRelationsRequest request;
    request.process_id = process;
    request.events = apply_event_choice({});
    return request;
}

// The whole road: relations, the alpha net, the replay.
inline void mine_example(Tvesk_util& controller, const std::string& process) {
    const BuildRelationsRequest request = example_relations(controller, process);
    RecordingSink sink;
    mine_from_log(controller, request, NetOptions{}, true, sink);
}

}  // namespace vesk::test
